#include "xejpnetworkreply.h"

#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
// The web engine passes a reply's status code, reason and headers on to page script only
// when the reply's own URL is of the HTTP family; for any other scheme script would see
// status 0 and no headers, and could not tell a missing resource from an empty one. The
// reply URL is read for nothing else (documents keep their request URL), so it names the
// same resource under a host that never resolves.
QUrl engineUrl(const QUrl &requestUrl)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(requestUrl.scheme() + QStringLiteral(".invalid"));
    const QString path = requestUrl.path(QUrl::FullyDecoded);
    url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path, QUrl::DecodedMode);
    return url;
}
} // namespace

XEJPNetworkReply::XEJPNetworkReply(const QNetworkRequest &request, QObject *parent)
    : QNetworkReply(parent)
{
    setRequest(request);
    setUrl(engineUrl(request.url()));
}

bool XEJPNetworkReply::isSequential() const
{
    return true;
}

qint64 XEJPNetworkReply::bytesAvailable() const
{
    return content.size() - offset + QNetworkReply::bytesAvailable();
}

void XEJPNetworkReply::abort() { }

void XEJPNetworkReply::setStatus(int code, const QByteArray &reason)
{
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, code);
    if (!reason.isNull())
        setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, reason);
}

void XEJPNetworkReply::setContent(const QByteArray &data)
{
    content = data;
    offset = 0;
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    setHeader(QNetworkRequest::ContentLengthHeader, QVariant(content.size()));
    setFinished(true);
    QTimer::singleShot(0, this, &QIODevice::readyRead);
    QTimer::singleShot(0, this, &QNetworkReply::finished);
}

void XEJPNetworkReply::setContent(const QString &text)
{
    setContent(text.toUtf8());
}

void XEJPNetworkReply::disableCaching()
{
    setRawHeader("Cache-Control", "must-revalidate");
    setRawHeader("Expires", "0");
    setRawHeader("ETag", QByteArray::number(std::rand()));
    QNetworkRequest alwaysNetwork = request();
    alwaysNetwork.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    setRequest(alwaysNetwork);
}

qint64 XEJPNetworkReply::readData(char *data, qint64 maxSize)
{
    if (offset >= content.size())
        return -1;
    const qint64 count = std::min(maxSize, content.size() - offset);
    // A read of nothing may come with no buffer at all, which memcpy must never see.
    if (count <= 0)
        return 0;
    std::memcpy(data, content.constData() + offset, static_cast<size_t>(count));
    offset += count;
    return count;
}
