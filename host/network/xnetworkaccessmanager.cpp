#include "xnetworkaccessmanager.h"

#include "appcontent.h"
#include "xejpnetworkreply.h"

#include <QFileInfo>

namespace {

bool isPrivateScheme(const QString &scheme)
{
    for (const char *own : {"ejp", "app", "drc", "xrc"})
        if (scheme == QLatin1String(own))
            return true;
    return false;
}

} // namespace

XNetworkAccessManager::XNetworkAccessManager(AppContent *content, QObject *parent)
    : QNetworkAccessManager(parent)
    , ownContent(content ? nullptr : new AppContent)
    , content(content ? content : ownContent.get())
{ }

XNetworkAccessManager::~XNetworkAccessManager() = default;

QString XNetworkAccessManager::appFilePath(const QString &urlPath)
{
    return AppContent::appFilePath(AppContent::defaultAppDirectory(), urlPath);
}

QNetworkReply *XNetworkAccessManager::createRequest(Operation op, const QNetworkRequest &request,
                                                    QIODevice *outgoingData)
{
    const QString scheme = request.url().scheme();
    if (!isPrivateScheme(scheme))
        return QNetworkAccessManager::createRequest(op, request, outgoingData);

    auto *reply = new XEJPNetworkReply(request, this);
    const std::optional<AppContent::Item> item = content->find(scheme, request.url().path(QUrl::FullyDecoded));
    if (!item) {
        reply->setStatus(404, "Not Found");
        reply->setContent(QString());
        return reply;
    }
    reply->setStatus(200, "OK");
    if (!item->cacheable)
        reply->disableCaching();
    reply->setContent(item->data);
    return reply;
}

bool XNetworkAccessManager::serves(const QUrl &url) const
{
    const QString path = url.path(QUrl::FullyDecoded);
    if (url.scheme() == QLatin1String("qrc"))
        return QFileInfo(QLatin1Char(':') + path).isFile();
    return content->serves(url.scheme(), path);
}
