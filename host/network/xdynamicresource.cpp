#include "xdynamicresource.h"

void XDynamicResource::set(const QString &key, const QByteArray &data)
{
    resources.insert(key, data);
}

bool XDynamicResource::contains(const QString &key) const
{
    return resources.contains(key);
}

QByteArray XDynamicResource::get(const QString &key) const
{
    return resources.value(key);
}
