#pragma once

#include <QNetworkAccessManager>

class Ovex;
class XEJPNetworkReply;

/// One per web view. Answers the private schemes itself: "ejp" from the loaded package,
/// "app" from the "app" folder beside the executable, "drc" from the in-memory resource
/// store and "xrc" from the folder, else the package. Every other URL goes to the
/// ordinary network stack.
class XNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    /// `app` may be null: then only the "app" folder answers.
    XNetworkAccessManager(Ovex *app, QObject *parent);

    /// The file under the "app" folder beside the program that a URL path names, or an
    /// empty string when the path would leave that folder.
    static QString appFilePath(const QString &urlPath);
    /// The same under `appDir`; always empty when `appDir` is.
    static QString appFilePath(const QString &appDir, const QString &urlPath);

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData) override;

private:
    bool answerFromAppFolder(XEJPNetworkReply *reply, const QString &path) const;
    bool answerFromPackage(XEJPNetworkReply *reply, const QString &path) const;
    bool answerFromStore(XEJPNetworkReply *reply, const QString &path) const;

    Ovex *app;
};
