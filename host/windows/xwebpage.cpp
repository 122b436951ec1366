#include "xwebpage.h"

#include "apporigin.h"

#include <QNetworkRequest>
#include <QWebElement>
#include <QWebFrame>
#include <QWebSecurityOrigin>
#include <QWebSettings>

XWebPage::XWebPage(QObject *parent)
    : QWebPage(parent)
{
    settings()->setAttribute(QWebSettings::PluginsEnabled, true);
    settings()->setAttribute(QWebSettings::JavascriptCanOpenWindows, true);
    setLinkDelegationPolicy(QWebPage::DelegateAllLinks);
    // The engine-wide setting grants every local document (file:, the store's "drc") universal
    // access, so a help page in a frame or a popup could script the application's window and
    // read any file. Each page opts out; the application's own documents get their reach
    // through the origin whitelist of configureEngine instead.
    settings()->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
    settings()->setAttribute(QWebSettings::LocalContentCanAccessFileUrls, false);
}

void XWebPage::configureEngine()
{
    QWebSettings::globalSettings()->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, true);
    QWebSettings::globalSettings()->setAttribute(QWebSettings::DeveloperExtrasEnabled, true);
    // Pages request their own content by XMLHttpRequest as well as by element sources;
    // the engine allows that only for schemes it treats as local.
    for (const char *scheme : {"ejp", "app", "drc", "xrc"})
        QWebSecurityOrigin::addLocalScheme(QString::fromLatin1(scheme));
    allowOwnDocumentsToRequest();
}

void XWebPage::allowOwnDocumentsToRequest()
{
    // What universal access gave the application's documents, and only them: requests to the
    // host's schemes and to the web. Scripting another document stays bound to its origin.
    for (const char *source : {"xrc", "app", "ejp"}) {
        QWebSecurityOrigin origin(QUrl(QString::fromLatin1(source) + QStringLiteral(":/")));
        for (const char *target : {"xrc", "app", "ejp", "drc", "http", "https"})
            origin.addAccessWhitelistEntry(QString::fromLatin1(target), QString(),
                                           QWebSecurityOrigin::AllowSubdomains);
    }
}

bool XWebPage::acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request, NavigationType type)
{
    if (frame && frame->parentFrame()) {
        if (!AppOrigin::isOwn(request.url()))
            confineFrame(frame);
        // A link in a foreign frame opens in that frame, not in the window.
        if (type == NavigationTypeLinkClicked && !AppOrigin::holdsOwnDocument(frame))
            return true;
    }
    return QWebPage::acceptNavigationRequest(frame, request, type);
}

void XWebPage::confineFrame(QWebFrame *frame)
{
    // The engine lets any frame navigate the window's top document; a sandbox without
    // "allow-top-navigation" stops that. The frame's element is marked before the document
    // arrives, which is when the engine reads it. A sandbox the application set stays, less
    // that one permission.
    QWebElement owner = frame->ownerElement();
    if (owner.isNull())
        return;
    QStringList permissions = owner.attribute(QStringLiteral("sandbox")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!owner.hasAttribute(QStringLiteral("sandbox")))
        permissions = QStringList {QStringLiteral("allow-scripts"), QStringLiteral("allow-same-origin"),
                                   QStringLiteral("allow-forms"), QStringLiteral("allow-popups"),
                                   QStringLiteral("allow-modals")};
    permissions.removeAll(QStringLiteral("allow-top-navigation"));
    owner.setAttribute(QStringLiteral("sandbox"), permissions.join(QLatin1Char(' ')));
}

QString XWebPage::userAgentForUrl(const QUrl &) const
{
    return QStringLiteral("Mozilla/5.0 (Windows NT 6.3; rv:36.0) Gecko/20100101 Firefox/36.0");
}
