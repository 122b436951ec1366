// Cookie records: the plain form in which page script keeps a window's cookies.
#include "cookierecord.h"
#include "xcookiejar.h"

#include <QDateTime>
#include <QtTest>

class TestCookieRecord : public QObject
{
    Q_OBJECT

private:
    static QNetworkCookie cookie(const QByteArray &name, const QByteArray &value)
    {
        return QNetworkCookie(name, value);
    }

    static QDateTime utc(int year, int month, int day, int hour, int minute, int second)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
    }

private Q_SLOTS:
    void recordHoldsEveryFieldAsText_data();
    void recordHoldsEveryFieldAsText();
    void recordReadsBackExactlyAsWritten_data();
    void recordReadsBackExactlyAsWritten();
    void recordFieldsBuildTheCookie_data();
    void recordFieldsBuildTheCookie();
    void sessionCookieWrittenBackPersistsUntil2106();
    void recordsThatAreNoListGiveNoCookies_data();
    void recordsThatAreNoListGiveNoCookies();
    void recordsKeepTheirOrder();
    void jarReplacesItsWholeContent();
};

void TestCookieRecord::recordHoldsEveryFieldAsText_data()
{
    QTest::addColumn<QNetworkCookie>("cookie");
    QTest::addColumn<QVariantMap>("record");

    QNetworkCookie full = cookie("sid", "abc");
    full.setDomain(QStringLiteral(".example.com"));
    full.setPath(QStringLiteral("/app"));
    full.setExpirationDate(utc(2023, 11, 14, 22, 13, 20)); // 1 700 000 000 s
    full.setSecure(true);
    full.setHttpOnly(true);
    QTest::newRow("persistent cookie with every field")
            << full << QVariantMap {{"domain", ".example.com"}, {"expiration", "1700000000"},
                                    {"http_only", "1"},         {"secure", "1"},
                                    {"session", "0"},           {"name", "sid"},
                                    {"path", "/app"},           {"value64", "YWJj"}};

    QTest::newRow("session cookie expires at the largest 32-bit value")
            << cookie("s", "") << QVariantMap {{"domain", ""},     {"expiration", "4294967295"},
                                               {"http_only", "0"}, {"secure", "0"},
                                               {"session", "1"},   {"name", "s"},
                                               {"path", ""},       {"value64", ""}};

    // Bytes 00 FF 3B 3D: 000000 001111 111100 111011 | 001111 010000 -> A P 8 7 P Q, padded.
    QNetworkCookie binary = cookie(QByteArray("caf\xe9"), QByteArray("\x00\xff;=", 4));
    binary.setExpirationDate(utc(1970, 1, 1, 0, 0, 1));
    QTest::newRow("binary value in Base64, Latin-1 name")
            << binary << QVariantMap {{"domain", ""},  {"expiration", "1"},    {"http_only", "0"},
                                      {"secure", "0"}, {"session", "0"},       {"name", QString::fromUtf8("caf\u00e9")},
                                      {"path", ""},    {"value64", "AP87PQ=="}};

    QNetworkCookie farFuture = cookie("f", "v");
    farFuture.setExpirationDate(utc(2200, 1, 1, 0, 0, 0));
    QTest::newRow("date after 2106 is clamped, not wrapped into the past")
            << farFuture << QVariantMap {{"domain", ""},     {"expiration", "4294967295"},
                                         {"http_only", "0"}, {"secure", "0"},
                                         {"session", "0"},   {"name", "f"},
                                         {"path", ""},       {"value64", "dg=="}};

    QNetworkCookie past = cookie("p", "v");
    past.setExpirationDate(utc(1969, 12, 31, 23, 59, 59));
    QTest::newRow("date before 1970 is clamped to zero")
            << past << QVariantMap {{"domain", ""},   {"expiration", "0"}, {"http_only", "0"}, {"secure", "0"},
                                    {"session", "0"}, {"name", "p"},       {"path", ""},       {"value64", "dg=="}};
}

void TestCookieRecord::recordHoldsEveryFieldAsText()
{
    QFETCH(QNetworkCookie, cookie);
    QFETCH(QVariantMap, record);
    QCOMPARE(CookieRecord::toRecord(cookie), record);
}

void TestCookieRecord::recordReadsBackExactlyAsWritten_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::newRow("every field set") << QVariantMap {{"domain", "example.org"},
                                                     {"expiration", "4000000000"},
                                                     {"http_only", "1"},
                                                     {"secure", "1"},
                                                     {"session", "0"},
                                                     {"name", "token"},
                                                     {"path", "/"},
                                                     {"value64", "aGVsbG8gd29ybGQ="}};
    QTest::newRow("every flag clear") << QVariantMap {{"domain", "a.b"}, {"expiration", "0"},    {"http_only", "0"},
                                                      {"secure", "0"},   {"session", "0"},       {"name", "n"},
                                                      {"path", "/x/y"},  {"value64", "AP87PQ=="}};
    QTest::newRow("session cookie") << QVariantMap {{"domain", ""},     {"expiration", "4294967295"},
                                                    {"http_only", "0"}, {"secure", "1"},
                                                    {"session", "0"},   {"name", "n"},
                                                    {"path", ""},       {"value64", ""}};
}

void TestCookieRecord::recordReadsBackExactlyAsWritten()
{
    QFETCH(QVariantMap, record);
    QCOMPARE(CookieRecord::toRecord(CookieRecord::fromRecord(record)), record);
}

void TestCookieRecord::recordFieldsBuildTheCookie_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("httpOnly");
    QTest::addColumn<bool>("secure");
    QTest::addColumn<QDateTime>("expiration");
    QTest::newRow("empty record is an empty session cookie")
            << QVariantMap {} << QByteArray() << false << false << QDateTime();
    QTest::newRow("value is read as Latin-1 text") << QVariantMap {{"value", QString::fromUtf8("\u00e9t\u00e9")}}
                                                   << QByteArray("\xe9t\xe9") << false << false << QDateTime();
    QTest::newRow("value64 takes precedence over value") << QVariantMap {{"value", "plain"}, {"value64", "d2lu"}}
                                                         << QByteArray("win") << false << false << QDateTime();
    QTest::newRow("flags of true are false, only 1 sets them")
            << QVariantMap {{"http_only", "true"}, {"secure", "true"}} << QByteArray() << false << false << QDateTime();
    QTest::newRow("flags of 1 are set") << QVariantMap {{"http_only", "1"}, {"secure", "1"}} << QByteArray() << true
                                        << true << QDateTime();
    QTest::newRow("session key is not read") << QVariantMap {{"session", "1"}, {"expiration", "60"}} << QByteArray()
                                             << false << false << utc(1970, 1, 1, 0, 1, 0);
    QTest::newRow("expiration that is no number is 1970")
            << QVariantMap {{"expiration", "soon"}} << QByteArray() << false << false << utc(1970, 1, 1, 0, 0, 0);
}

void TestCookieRecord::recordFieldsBuildTheCookie()
{
    QFETCH(QVariantMap, record);
    QFETCH(QByteArray, value);
    QFETCH(bool, httpOnly);
    QFETCH(bool, secure);
    QFETCH(QDateTime, expiration);
    const QNetworkCookie built = CookieRecord::fromRecord(record);
    QCOMPARE(built.value(), value);
    QCOMPARE(built.isHttpOnly(), httpOnly);
    QCOMPARE(built.isSecure(), secure);
    QCOMPARE(built.expirationDate(), expiration);
}

void TestCookieRecord::sessionCookieWrittenBackPersistsUntil2106()
{
    const QNetworkCookie restored = CookieRecord::fromRecord(CookieRecord::toRecord(cookie("s", "v")));
    QVERIFY(!restored.isSessionCookie());
    QCOMPARE(restored.expirationDate(), utc(2106, 2, 7, 6, 28, 15));
}

void TestCookieRecord::recordsThatAreNoListGiveNoCookies_data()
{
    QTest::addColumn<QVariant>("records");
    QTest::newRow("nothing") << QVariant();
    QTest::newRow("text") << QVariant(QStringLiteral("a=b"));
    QTest::newRow("single record map") << QVariant(QVariantMap {{"name", "a"}});
    QTest::newRow("number") << QVariant(3);
}

void TestCookieRecord::recordsThatAreNoListGiveNoCookies()
{
    QFETCH(QVariant, records);
    QVERIFY(CookieRecord::fromRecords(records).isEmpty());
}

void TestCookieRecord::recordsKeepTheirOrder()
{
    const QVariantList records {QVariantMap {{"name", "b"}}, QVariant(QStringLiteral("not a record")),
                                QVariantMap {{"name", "a"}}};
    const QList<QNetworkCookie> cookies = CookieRecord::fromRecords(records);
    QCOMPARE(cookies.size(), 3);
    QCOMPARE(cookies.at(0).name(), QByteArray("b"));
    QCOMPARE(cookies.at(1).name(), QByteArray());
    QCOMPARE(cookies.at(2).name(), QByteArray("a"));
    QCOMPARE(CookieRecord::toRecords(cookies).at(2).toMap().value("name").toString(), QStringLiteral("a"));
}

void TestCookieRecord::jarReplacesItsWholeContent()
{
    XCookieJar jar;
    jar.setAllCookies({cookie("a", "1"), cookie("b", "2")});
    jar.setAllCookies({cookie("c", "3")});
    const QList<QNetworkCookie> cookies = jar.allCookies();
    QCOMPARE(cookies.size(), 1);
    QCOMPARE(cookies.first().name(), QByteArray("c"));
}

QTEST_APPLESS_MAIN(TestCookieRecord)
#include "tst_cookierecord.moc"
