#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

/// A web server on 127.0.0.1 for pages that must come from elsewhere than the application:
/// it answers the paths it was given pages for and records the query of every other request,
/// which is how such pages report what they could reach.
class LoopbackServer
{
public:
    bool listen();
    quint16 port() const;
    /// Serves `body` as HTML at `path` ("/probe.html").
    void addPage(const QString &path, const QByteArray &body);

    QStringList reports;

private:
    void answer(QTcpSocket *socket);

    QTcpServer server;
    QMap<QString, QByteArray> pages;
};
