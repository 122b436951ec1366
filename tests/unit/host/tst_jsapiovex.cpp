// The system, time and hash slots of the application scripting object.
#include "jsapiovex.h"
#include "scripttext.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QTemporaryFile>
#include <QtTest>

class TestJSApiOvex : public QObject
{
    Q_OBJECT

private:
    JSApiOvex ovex {nullptr, nullptr};

private Q_SLOTS:
    void hexDigestsAreThoseOfTheLatin1Bytes_data();
    void hexDigestsAreThoseOfTheLatin1Bytes();
    void rawDigestIsCutAtItsFirstZeroByte();
    void rawDigestWithLeadingZeroIsEmpty();
    void fileMd5hexOfMissingFileIsEmpty();
    void fileMd5hexReadsEveryByte();
    void mktimeBuildsLocalTime_data();
    void mktimeBuildsLocalTime();
    void timeValuesAreUnsigned32BitSecondsReadAsSigned_data();
    void timeValuesAreUnsigned32BitSecondsReadAsSigned();
    void dateFormatsNowForNegativeTimes();
    void diskQueries_data();
    void diskQueries();
};

void TestJSApiOvex::hexDigestsAreThoseOfTheLatin1Bytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("md5");
    QTest::addColumn<QString>("sha1");
    QTest::newRow("empty text") << QString() << "d41d8cd98f00b204e9800998ecf8427e"
                                << "da39a3ee5e6b4b0d3255bfef95601890afd80709";
    QTest::newRow("abc") << "abc"
                         << "900150983cd24fb0d6963f7d28e17f72"
                         << "a9993e364706816aba3e25717850c26c9cd0d89d";
    // "é" is the one byte E9 in Latin-1, not its two UTF-8 bytes.
    QTest::newRow("latin-1 character") << QString::fromUtf8("é")
                                       << QString(QCryptographicHash::hash("\xe9", QCryptographicHash::Md5).toHex())
                                       << QString(QCryptographicHash::hash("\xe9", QCryptographicHash::Sha1).toHex());
    QTest::newRow("characters above U+00FF hash as question marks")
            << QString::fromUtf8("€日") << QString(QCryptographicHash::hash("??", QCryptographicHash::Md5).toHex())
            << QString(QCryptographicHash::hash("??", QCryptographicHash::Sha1).toHex());
}

void TestJSApiOvex::hexDigestsAreThoseOfTheLatin1Bytes()
{
    QFETCH(QString, text);
    QFETCH(QString, md5);
    QFETCH(QString, sha1);
    QCOMPARE(ovex.md5hex(text), md5);
    QCOMPARE(ovex.sha1hex(text), sha1);
}

void TestJSApiOvex::rawDigestIsCutAtItsFirstZeroByte()
{
    QCOMPARE(ScriptText::fromRawBytes(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
    QCOMPARE(ScriptText::fromRawBytes(QByteArray("\xc3\xa9\xff", 3)), QString::fromUtf8("é\uFFFD"));
    // md5("abc") = 90 01 50 98 3c d2 4f b0 d6 96 3f 7d 28 e1 7f 72 has no zero byte; its
    // invalid sequences (90, 98, d2 4f, b0, e1 7f) become U+FFFD, d6 96 is U+0596.
    const QString expected = QStringLiteral("\uFFFD\u0001P\uFFFD<\uFFFDO\uFFFD\u0596?}(\uFFFD\u007Fr");
    QCOMPARE(ovex.md5(QStringLiteral("abc")), expected);
}

void TestJSApiOvex::rawDigestWithLeadingZeroIsEmpty()
{
    // Find a text whose MD5 and one whose SHA-1 begin with a zero byte.
    QString md5Text, sha1Text;
    for (int i = 0; md5Text.isEmpty() || sha1Text.isEmpty(); ++i) {
        const QByteArray candidate = QByteArray::number(i);
        if (md5Text.isEmpty() && QCryptographicHash::hash(candidate, QCryptographicHash::Md5).at(0) == 0)
            md5Text = QString::fromLatin1(candidate);
        if (sha1Text.isEmpty() && QCryptographicHash::hash(candidate, QCryptographicHash::Sha1).at(0) == 0)
            sha1Text = QString::fromLatin1(candidate);
    }
    QCOMPARE(ovex.md5(md5Text), QString());
    QCOMPARE(ovex.sha1(sha1Text), QString());
}

void TestJSApiOvex::fileMd5hexOfMissingFileIsEmpty()
{
    QCOMPARE(ovex.fileMd5hex(QStringLiteral("/nonexistent/file")), QString());
}

void TestJSApiOvex::fileMd5hexReadsEveryByte()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(QByteArray("a\r\nb\0c", 6));
    file.close();
    QCOMPARE(ovex.fileMd5hex(file.fileName()),
             QString(QCryptographicHash::hash(QByteArray("a\r\nb\0c", 6), QCryptographicHash::Md5).toHex()));
}

void TestJSApiOvex::mktimeBuildsLocalTime_data()
{
    QTest::addColumn<QList<int>>("fields"); // hours, minutes, seconds, month, day, year
    QTest::addColumn<qint64>("expected");
    const auto local = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime).toSecsSinceEpoch();
    };
    QTest::newRow("ordinary date") << QList<int> {13, 45, 30, 6, 15, 2021} << local(2021, 6, 15, 13, 45, 30);
    QTest::newRow("leap day") << QList<int> {0, 0, 0, 2, 29, 2020} << local(2020, 2, 29, 0, 0, 0);
    QTest::newRow("30 February is invalid") << QList<int> {0, 0, 0, 2, 30, 2020} << qint64(-1);
    QTest::newRow("hour 24 is invalid") << QList<int> {24, 0, 0, 1, 1, 2020} << qint64(-1);
    QTest::newRow("month 13 is invalid") << QList<int> {0, 0, 0, 13, 1, 2020} << qint64(-1);
    QTest::newRow("before the epoch") << QList<int> {0, 0, 0, 1, 1, 1960} << qint64(-1);
}

void TestJSApiOvex::mktimeBuildsLocalTime()
{
    QFETCH(QList<int>, fields);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(ovex.mktime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5])), expected);
}

void TestJSApiOvex::timeValuesAreUnsigned32BitSecondsReadAsSigned_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<int>("expected");
    QTest::newRow("the epoch") << QDateTime::fromSecsSinceEpoch(0, Qt::UTC) << 0;
    QTest::newRow("last signed second") << QDateTime::fromSecsSinceEpoch(0x7fffffff, Qt::UTC) << 0x7fffffff;
    QTest::newRow("after 2038 comes out negative")
            << QDateTime::fromSecsSinceEpoch(0x80000000LL, Qt::UTC) << int(0x80000000u);
    QTest::newRow("last representable second") << QDateTime(QDate(2106, 2, 7), QTime(6, 28, 14), Qt::UTC) << -2;
    QTest::newRow("one second later is all ones") << QDateTime(QDate(2106, 2, 7), QTime(6, 28, 15), Qt::UTC) << -1;
    QTest::newRow("before the epoch is all ones") << QDateTime::fromSecsSinceEpoch(-1, Qt::UTC) << -1;
    QTest::newRow("invalid is all ones") << QDateTime() << -1;
}

void TestJSApiOvex::timeValuesAreUnsigned32BitSecondsReadAsSigned()
{
    QFETCH(QDateTime, when);
    QFETCH(int, expected);
    QCOMPARE(JSApiOvex::scriptTime(when), expected);
}

void TestJSApiOvex::dateFormatsNowForNegativeTimes()
{
    const QString year = QString::number(QDate::currentDate().year());
    QCOMPARE(ovex.date(QStringLiteral("yyyy"), -1), year);
    QCOMPARE(ovex.date(QStringLiteral("yyyy"), -123456), year);
    QCOMPARE(ovex.date(QStringLiteral("yyyy-MM-dd"), 0),
             QDateTime::fromSecsSinceEpoch(0).toString(QStringLiteral("yyyy-MM-dd")));
    QCOMPARE(ovex.date(QStringLiteral("'at' HH:mm:ss"), 3600 * 5 + 61),
             QDateTime::fromSecsSinceEpoch(3600 * 5 + 61).toString(QStringLiteral("'at' HH:mm:ss")));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QVERIFY(qAbs(ovex.time() - now) <= 1);
}

void TestJSApiOvex::diskQueries_data()
{
    QTest::addColumn<QString>("disk");
    QTest::addColumn<bool>("answers");
    QTest::newRow("empty text fails") << QString() << false;
    QTest::newRow("zero character fails") << QString(QChar(0)) << false;
    QTest::newRow("bare drive letter is the root volume") << "C" << true;
    QTest::newRow("letter and colon") << "c:" << true;
    QTest::newRow("letter, colon and path") << "D:\\Windows" << true;
    QTest::newRow("a folder path") << QDir::tempPath() << true;
    QTest::newRow("a missing path fails") << "/nonexistent/volume/path" << false;
}

void TestJSApiOvex::diskQueries()
{
    QFETCH(QString, disk);
    QFETCH(bool, answers);
    const qint64 free = ovex.freespace(disk);
    const qint64 total = ovex.totalspace(disk);
    if (!answers) {
        QCOMPARE(free, qint64(-1));
        QCOMPARE(total, qint64(-1));
        return;
    }
    QVERIFY(total > 0);
    QVERIFY(free >= 0 && free <= total);
}

QTEST_GUILESS_MAIN(TestJSApiOvex)
#include "tst_jsapiovex.moc"
