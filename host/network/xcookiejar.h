#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QNetworkCookieJar>

/// The cookie jar of one view, in memory only; cookies are kept per window.
class XCookieJar : public QNetworkCookieJar
{
    Q_OBJECT

public:
    explicit XCookieJar(QObject *parent = nullptr);

    /// Every cookie of the jar, in the jar's order.
    QList<QNetworkCookie> allCookies() const;
    /// Replaces the jar's whole content with `cookies`, unchecked.
    void setAllCookies(const QList<QNetworkCookie> &cookies);
};
