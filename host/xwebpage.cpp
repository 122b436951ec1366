#include "xwebpage.h"

#include <QWebSettings>

XWebPage::XWebPage(QObject *parent)
    : QWebPage(parent)
{
    settings()->setAttribute(QWebSettings::PluginsEnabled, true);
}

QString XWebPage::userAgentForUrl(const QUrl &) const
{
    return QStringLiteral("Mozilla/5.0 (Windows NT 6.3; rv:36.0) Gecko/20100101 Firefox/36.0");
}
