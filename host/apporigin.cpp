#include "apporigin.h"

#include <QWebFrame>

bool AppOrigin::isOwn(const QUrl &documentUrl)
{
    // Schemes compare case-sensitively, as the network manager answers them. "qrc" holds
    // only the host's own resource bundle, the skeleton and the glue library.
    const QString scheme = documentUrl.scheme();
    for (const char *own : {"app", "xrc", "ejp", "drc", "qrc"})
        if (scheme == QLatin1String(own))
            return true;
    return false;
}

bool AppOrigin::holdsOwnDocument(const QWebFrame *frame)
{
    return frame && isOwn(frame->url());
}
