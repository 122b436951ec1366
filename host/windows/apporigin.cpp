#include "apporigin.h"

#include "xnetworkaccessmanager.h"

#include <QWebFrame>
#include <QWebPage>

namespace {
// Every window's skeleton is set as HTML with this base; no served page has the address.
bool isSkeleton(const QUrl &url)
{
    return url.scheme() == QLatin1String("xrc") && url.path() == QLatin1String("/");
}
} // namespace

bool AppOrigin::isOwn(const QUrl &documentUrl)
{
    // Schemes compare case-sensitively, as the network manager answers them. "qrc" holds
    // only the host's own resource bundle, the skeleton and the glue library. The store is
    // not own: it holds whatever bytes a plug-in or page handed over.
    const QString scheme = documentUrl.scheme();
    for (const char *own : {"app", "xrc", "ejp", "qrc"})
        if (scheme == QLatin1String(own))
            return true;
    return false;
}

bool AppOrigin::holdsOwnDocument(const QWebFrame *frame)
{
    if (!frame || !isOwn(frame->url()))
        return false;
    if (isSkeleton(frame->url()))
        return true;
    // A missing page is answered "404" with an empty document at the asked address; that
    // address must not turn it into one of the application's own.
    const auto *manager = qobject_cast<const XNetworkAccessManager *>(frame->page()->networkAccessManager());
    return manager && manager->serves(frame->url());
}
