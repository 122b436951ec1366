#include "xwebpage.h"

#include <QWebSecurityOrigin>
#include <QWebSettings>

XWebPage::XWebPage(QObject *parent)
    : QWebPage(parent)
{
    settings()->setAttribute(QWebSettings::PluginsEnabled, true);
    settings()->setAttribute(QWebSettings::JavascriptCanOpenWindows, true);
    setLinkDelegationPolicy(QWebPage::DelegateAllLinks);
}

void XWebPage::configureEngine()
{
    QWebSettings::globalSettings()->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, true);
    QWebSettings::globalSettings()->setAttribute(QWebSettings::DeveloperExtrasEnabled, true);
    // Pages request their own content by XMLHttpRequest as well as by element sources;
    // the engine allows that only for schemes it treats as local.
    for (const char *scheme : {"ejp", "app", "drc", "xrc"})
        QWebSecurityOrigin::addLocalScheme(QString::fromLatin1(scheme));
}

QString XWebPage::userAgentForUrl(const QUrl &) const
{
    return QStringLiteral("Mozilla/5.0 (Windows NT 6.3; rv:36.0) Gecko/20100101 Firefox/36.0");
}
