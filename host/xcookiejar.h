#pragma once

#include <QNetworkCookieJar>

/// The cookie jar of one view; cookies are kept per window.
class XCookieJar : public QNetworkCookieJar
{
    Q_OBJECT

public:
    explicit XCookieJar(QObject *parent = nullptr);
};
