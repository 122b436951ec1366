#pragma once

#include <QWebPage>

/// The page of every view: plug-ins on, windows opened by script, links handed to the
/// window, foreign documents in frames kept to their frame, and a fixed user agent for every
/// URL. Every web setting of the host is made here.
class XWebPage : public QWebPage
{
    Q_OBJECT

public:
    explicit XWebPage(QObject *parent);

    /// Settings of the engine as a whole; once, before the first page is built.
    static void configureEngine();

protected:
    QString userAgentForUrl(const QUrl &url) const override;
    bool acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request, NavigationType type) override;

private:
    static void allowOwnDocumentsToRequest();
    static void confineFrame(QWebFrame *frame);
};
