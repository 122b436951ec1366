#include "xcookiejar.h"

XCookieJar::XCookieJar(QObject *parent)
    : QNetworkCookieJar(parent)
{
}
