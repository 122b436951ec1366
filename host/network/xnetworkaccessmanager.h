#pragma once

#include <QNetworkAccessManager>

#include <memory>

class AppContent;

/// One per web view. Answers the private schemes itself from the application's content:
/// "ejp" from the loaded package, "app" from the application's folder, "drc" from the
/// in-memory resource store and "xrc" from the folder, else the package. Every other URL
/// goes to the ordinary network stack.
class XNetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    /// `content` may be null: then only the "app" folder beside the program answers.
    XNetworkAccessManager(AppContent *content, QObject *parent);
    ~XNetworkAccessManager() override;

    /// The file under the "app" folder beside the program that a URL path names, or an
    /// empty string when the path would leave that folder.
    static QString appFilePath(const QString &urlPath);

    /// Whether a request for `url` would be answered with content (status 200). Only the
    /// private schemes and the host's resource bundle are asked; any other URL gives false.
    bool serves(const QUrl &url) const;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData) override;

private:
    std::unique_ptr<AppContent> ownContent;
    AppContent *content;
};
