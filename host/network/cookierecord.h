#pragma once

#include <QList>
#include <QNetworkCookie>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

/// Converts cookies to and from the plain records page script keeps to carry a window's
/// cookies across restarts. Every field is text: "domain", "expiration" (decimal seconds
/// since 1970 UTC, 4294967295 for a session cookie), "http_only", "secure" and "session"
/// ("1" or "0"), "name", "path" and "value64" (the value bytes in Base64); records given
/// back may carry "value" (Latin-1 text) instead of "value64".
class CookieRecord
{
public:
    /// The expiration written for a cookie without expiration date: the largest unsigned
    /// 32-bit number, 2106-02-07 06:28:15 UTC.
    static constexpr quint32 sessionExpiration = 0xFFFFFFFFu;

    /// The record of one cookie, with the eight keys above.
    static QVariantMap toRecord(const QNetworkCookie &cookie);
    /// A cookie from a record; missing keys leave the field's default and "value64"
    /// wins over "value".
    static QNetworkCookie fromRecord(const QVariantMap &record);

    /// One record per cookie, in the given order.
    static QVariantList toRecords(const QList<QNetworkCookie> &cookies);
    /// One cookie per element of `records`; anything that is not a list gives none.
    static QList<QNetworkCookie> fromRecords(const QVariant &records);
};
