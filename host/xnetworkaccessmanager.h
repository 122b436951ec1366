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

    /// Whether a request for `url` would be answered with content (status 200). Only the
    /// private schemes and the host's resource bundle are asked; any other URL gives false.
    bool serves(const QUrl &url) const;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData) override;

private:
    /// The regular file that the "app" folder serves for `path`, or an empty string: links
    /// that lead out of the folder and folders themselves are not served.
    QString servedAppFile(const QString &path) const;
    bool answerFromAppFolder(XEJPNetworkReply *reply, const QString &path) const;
    bool answerFromPackage(XEJPNetworkReply *reply, const QString &path) const;
    bool answerFromStore(XEJPNetworkReply *reply, const QString &path) const;

    Ovex *app;
};
