#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

/// Named in-memory byte arrays served to pages under the "drc" scheme. Keys compare
/// exactly; entries are only added or replaced while the application runs.
class XDynamicResource
{
public:
    void set(const QString &key, const QByteArray &data);
    bool contains(const QString &key) const;
    QByteArray get(const QString &key) const;

private:
    QMap<QString, QByteArray> resources;
};
