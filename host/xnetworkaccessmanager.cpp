#include "xnetworkaccessmanager.h"

#include "ovex.h"
#include "xdynamicresource.h"
#include "xejpnetworkreply.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

XNetworkAccessManager::XNetworkAccessManager(Ovex *app, QObject *parent)
    : QNetworkAccessManager(parent)
    , app(app)
{ }

QString XNetworkAccessManager::appFilePath(const QString &urlPath)
{
    return appFilePath(Ovex::defaultAppDirectory(), urlPath);
}

QString XNetworkAccessManager::appFilePath(const QString &appDir, const QString &urlPath)
{
    if (appDir.isEmpty())
        return QString();
    QString inside = QDir::cleanPath(appDir);
    if (!inside.endsWith(QLatin1Char('/')))
        inside += QLatin1Char('/');
    // Resolving ".." lexically before the check keeps requests inside the folder.
    const QString file = QDir::cleanPath(inside + urlPath);
    if (!file.startsWith(inside) || file.size() == inside.size())
        return QString();
    return file;
}

QNetworkReply *XNetworkAccessManager::createRequest(Operation op, const QNetworkRequest &request,
                                                    QIODevice *outgoingData)
{
    const QString scheme = request.url().scheme();
    const bool ejp = scheme == QLatin1String("ejp");
    const bool appScheme = scheme == QLatin1String("app");
    const bool drc = scheme == QLatin1String("drc");
    const bool xrc = scheme == QLatin1String("xrc");
    if (!ejp && !appScheme && !drc && !xrc)
        return QNetworkAccessManager::createRequest(op, request, outgoingData);

    auto *reply = new XEJPNetworkReply(request, this);
    const QString path = request.url().path(QUrl::FullyDecoded);
    bool found = false;
    if (ejp)
        found = answerFromPackage(reply, path);
    else if (appScheme)
        found = answerFromAppFolder(reply, path);
    else if (drc)
        found = answerFromStore(reply, path);
    else
        found = answerFromAppFolder(reply, path) || answerFromPackage(reply, path);

    if (!found) {
        reply->setStatus(404, "Not Found");
        reply->setContent(QString());
    }
    return reply;
}

bool XNetworkAccessManager::serves(const QUrl &url) const
{
    const QString scheme = url.scheme();
    const QString path = url.path(QUrl::FullyDecoded);
    const bool inFolder = !servedAppFile(path).isEmpty();
    const bool inPackage = app && app->packageContains(path);
    if (scheme == QLatin1String("app"))
        return inFolder;
    if (scheme == QLatin1String("ejp"))
        return inPackage;
    if (scheme == QLatin1String("xrc"))
        return inFolder || inPackage;
    if (scheme == QLatin1String("drc"))
        return app && app->dynamicResources() && app->dynamicResources()->contains(path);
    if (scheme == QLatin1String("qrc"))
        return QFileInfo(QLatin1Char(':') + path).isFile();
    return false;
}

QString XNetworkAccessManager::servedAppFile(const QString &path) const
{
    const QString appDir = app ? app->appDirectory() : Ovex::defaultAppDirectory();
    const QString file = appFilePath(appDir, path);
    if (file.isEmpty())
        return QString();
    // The lexical check above keeps ".." inside; a symbolic link could still lead out.
    const QFileInfo target(QFileInfo(file).canonicalFilePath());
    const QString folder = QFileInfo(appDir).canonicalFilePath() + QLatin1Char('/');
    if (!target.isFile() || !target.filePath().startsWith(folder))
        return QString();
    return target.filePath();
}

bool XNetworkAccessManager::answerFromAppFolder(XEJPNetworkReply *reply, const QString &path) const
{
    const QString file = servedAppFile(path);
    if (file.isEmpty())
        return false;
    QFile in(file);
    QByteArray data;
    if (in.open(QIODevice::ReadOnly))
        data = in.readAll();
    reply->setStatus(200, "OK");
    reply->setContent(data);
    return true;
}

bool XNetworkAccessManager::answerFromPackage(XEJPNetworkReply *reply, const QString &path) const
{
    if (!app || !app->packageContains(path))
        return false;
    reply->setStatus(200, "OK");
    reply->setContent(app->packageFile(path));
    return true;
}

bool XNetworkAccessManager::answerFromStore(XEJPNetworkReply *reply, const QString &path) const
{
    if (!app || !app->dynamicResources() || !app->dynamicResources()->contains(path))
        return false;
    reply->setStatus(200, "OK");
    reply->disableCaching();
    reply->setContent(app->dynamicResources()->get(path));
    return true;
}
