#include "xcookiejar.h"

XCookieJar::XCookieJar(QObject *parent)
    : QNetworkCookieJar(parent)
{ }

QList<QNetworkCookie> XCookieJar::allCookies() const
{
    return QNetworkCookieJar::allCookies();
}

void XCookieJar::setAllCookies(const QList<QNetworkCookie> &cookies)
{
    QNetworkCookieJar::setAllCookies(cookies);
}
