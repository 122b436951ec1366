#pragma once

#include <QNetworkReply>

/// A reply to one request of the private schemes ("ejp", "app", "drc", "xrc"). The whole
/// body is in memory from the start; readyRead and finished follow on the next pass of the
/// event loop, in that order.
class XEJPNetworkReply : public QNetworkReply
{
    Q_OBJECT

public:
    XEJPNetworkReply(const QNetworkRequest &request, QObject *parent);

    bool isSequential() const override;
    qint64 bytesAvailable() const override;
    void abort() override;

    /// Sets the HTTP status code and, when `reason` is not null, the reason phrase.
    void setStatus(int code, const QByteArray &reason);
    /// Makes `data` the body, sets Content-Length and queues readyRead then finished.
    void setContent(const QByteArray &data);
    void setContent(const QString &text);
    /// Tells the engine never to take this body from a cache.
    void disableCaching();

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    QByteArray content;
    qint64 offset = 0;
};
