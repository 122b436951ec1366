#pragma once

#include <QWebPage>

/// The page of every view: plug-ins on, and a fixed user agent for every URL.
class XWebPage : public QWebPage
{
    Q_OBJECT

public:
    explicit XWebPage(QObject *parent);

protected:
    QString userAgentForUrl(const QUrl &url) const override;
};
