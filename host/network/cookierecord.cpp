#include "cookierecord.h"

#include <QDateTime>

namespace {

QString flagText(bool flag)
{
    return flag ? QStringLiteral("1") : QStringLiteral("0");
}

QString expirationText(const QNetworkCookie &cookie)
{
    if (cookie.isSessionCookie())
        return QString::number(CookieRecord::sessionExpiration);
    // Dates outside the 32-bit range are clamped rather than wrapped: a wrapped far-future
    // date would come back as a date in the past and the cookie would be lost.
    const qint64 seconds = cookie.expirationDate().toSecsSinceEpoch();
    return QString::number(qBound<qint64>(0, seconds, CookieRecord::sessionExpiration));
}

} // namespace

QVariantMap CookieRecord::toRecord(const QNetworkCookie &cookie)
{
    return {
            {QStringLiteral("domain"), cookie.domain()},
            {QStringLiteral("expiration"), expirationText(cookie)},
            {QStringLiteral("http_only"), flagText(cookie.isHttpOnly())},
            {QStringLiteral("secure"), flagText(cookie.isSecure())},
            {QStringLiteral("session"), flagText(cookie.isSessionCookie())},
            {QStringLiteral("name"), QString::fromLatin1(cookie.name())},
            {QStringLiteral("path"), cookie.path()},
            {QStringLiteral("value64"), QString::fromLatin1(cookie.value().toBase64())},
    };
}

QNetworkCookie CookieRecord::fromRecord(const QVariantMap &record)
{
    QNetworkCookie cookie;
    const auto has = [&record](const char *key) {
        return record.contains(QLatin1String(key));
    };
    const auto text = [&record](const char *key) {
        return record.value(QLatin1String(key)).toString();
    };
    if (has("domain"))
        cookie.setDomain(text("domain"));
    if (has("expiration"))
        cookie.setExpirationDate(QDateTime::fromSecsSinceEpoch(text("expiration").toUInt(), Qt::UTC));
    if (has("http_only"))
        cookie.setHttpOnly(text("http_only") == QLatin1String("1"));
    if (has("secure"))
        cookie.setSecure(text("secure") == QLatin1String("1"));
    if (has("name"))
        cookie.setName(text("name").toLatin1());
    if (has("path"))
        cookie.setPath(text("path"));
    if (has("value"))
        cookie.setValue(text("value").toLatin1());
    if (has("value64"))
        cookie.setValue(QByteArray::fromBase64(text("value64").toLatin1()));
    return cookie;
}

QVariantList CookieRecord::toRecords(const QList<QNetworkCookie> &cookies)
{
    QVariantList records;
    for (const QNetworkCookie &cookie : cookies)
        records.append(toRecord(cookie));
    return records;
}

QList<QNetworkCookie> CookieRecord::fromRecords(const QVariant &records)
{
    QList<QNetworkCookie> cookies;
    if (records.type() != QVariant::List)
        return cookies;
    const QVariantList list = records.toList();
    for (const QVariant &record : list)
        cookies.append(fromRecord(record.toMap()));
    return cookies;
}
