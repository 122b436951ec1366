#include "loopbackserver.h"

#include <QTcpSocket>
#include <QUrl>

bool LoopbackServer::listen()
{
    QObject::connect(&server, &QTcpServer::newConnection, [this] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { answer(socket); });
    });
    return server.listen(QHostAddress::LocalHost);
}

quint16 LoopbackServer::port() const
{
    return server.serverPort();
}

void LoopbackServer::addPage(const QString &path, const QByteArray &body)
{
    pages.insert(path, body);
}

void LoopbackServer::answer(QTcpSocket *socket)
{
    const QByteArray request = socket->peek(socket->bytesAvailable());
    if (!request.contains("\r\n\r\n"))
        return;
    const QUrl target(QString::fromLatin1(request.split(' ').value(1)));
    const QByteArray body = pages.value(target.path());
    if (!pages.contains(target.path()))
        reports << target.query(QUrl::FullyDecoded);
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                  + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
    socket->readAll();
}
