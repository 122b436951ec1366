#include "payloadcipher.h"

#include <QSet>
#include <QtTest>

namespace {

constexpr quint64 PackageKey = 58203174;

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

} // namespace

class TestPayloadCipher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodeAddsTwentyThreeBytes_data();
    void encodeAddsTwentyThreeBytes();
    void encodeWithKnownRandomByteGivesWorkedOutBytes_data();
    void encodeWithKnownRandomByteGivesWorkedOutBytes();
    void decodeGivesBackEncodedPayload_data();
    void decodeGivesBackEncodedPayload();
    void encodingTwiceGivesDifferentBytes();
    void changingAnyByteOfScrambledBlockMakesDecodeFail();
    void decodeRejectsInvalidForms_data();
    void decodeRejectsInvalidForms();
    void decodeIgnoresFlagsByte();
    void tryDecodeTellsEmptyPayloadFromFailure();
};

void TestPayloadCipher::encodeAddsTwentyThreeBytes_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty payload gives 23 bytes") << QByteArray();
    QTest::newRow("one byte gives 24 bytes") << QByteArray("x");
    QTest::newRow("every byte value gives 279 bytes") << allByteValues();
    QTest::newRow("100000 bytes give 100023 bytes") << QByteArray(100000, 'q');
}

void TestPayloadCipher::encodeAddsTwentyThreeBytes()
{
    QFETCH(QByteArray, plain);
    const PayloadCipher cipher(PackageKey);
    QCOMPARE(cipher.encode(plain).size(), plain.size() + 23);
}

void TestPayloadCipher::encodeWithKnownRandomByteGivesWorkedOutBytes_data()
{
    // Worked out from the definition: key bytes 26 1c 78 03 00 00 00 00,
    // S[i] = M[i] ^ key[i % 8] ^ S[i - 1] over M = R, SHA-1(P), P. For the
    // empty payload SHA-1 starts da 39 a3: 00^26 = 26, da^1c^26 = e0,
    // 39^78^e0 = a1, a3^03^a1 = 01.
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<int>("randomByte");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty payload with random byte 00")
            << QByteArray() << 0x00 << QByteArray::fromHex("030426e0a101efb1da91ba94b905ea7f1f07b102a2a6af");
    QTest::newRow("payload ab with random byte 5a")
            << QByteArray("ab") << 0x5a << QByteArray::fromHex("03047cbae183cdcf891338585b89349fc35f3e69080fd3b2d0");
}

void TestPayloadCipher::encodeWithKnownRandomByteGivesWorkedOutBytes()
{
    QFETCH(QByteArray, plain);
    QFETCH(int, randomByte);
    QFETCH(QByteArray, expected);
    const PayloadCipher cipher(PackageKey);
    QCOMPARE(cipher.encode(plain, quint8(randomByte)).toHex(), expected.toHex());
}

void TestPayloadCipher::decodeGivesBackEncodedPayload_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty payload") << QByteArray();
    QTest::newRow("one zero byte") << QByteArray(1, '\0');
    QTest::newRow("entry name") << QByteArray("/img/logo.png");
    QTest::newRow("every byte value") << allByteValues();
    QTest::newRow("100000 bytes") << QByteArray(100000, '\xA5');
}

void TestPayloadCipher::decodeGivesBackEncodedPayload()
{
    QFETCH(QByteArray, plain);
    const PayloadCipher cipher(PackageKey);
    QCOMPARE(cipher.decode(cipher.encode(plain)), plain);
}

void TestPayloadCipher::encodingTwiceGivesDifferentBytes()
{
    // Eight equal random bytes in a row happen once in 256^7 runs.
    const PayloadCipher cipher(PackageKey);
    QSet<QByteArray> forms;
    for (int i = 0; i < 8; ++i)
        forms.insert(cipher.encode("same payload"));
    QVERIFY(forms.size() > 1);
}

void TestPayloadCipher::changingAnyByteOfScrambledBlockMakesDecodeFail()
{
    const PayloadCipher cipher(PackageKey);
    const QByteArray valid = cipher.encode("hello");
    for (int i = 2; i < valid.size(); ++i) {
        for (const char mask : {'\x01', '\x80', '\xFF'}) {
            QByteArray changed = valid;
            changed[i] = char(changed[i] ^ mask);
            QVERIFY2(!cipher.tryDecode(changed).has_value(),
                     qPrintable(QStringLiteral("byte %1 mask %2").arg(i).arg(int(quint8(mask)))));
        }
    }
}

void TestPayloadCipher::decodeRejectsInvalidForms_data()
{
    const PayloadCipher cipher(PackageKey);
    const QByteArray valid = cipher.encode("payload");
    QByteArray version2 = valid;
    version2[0] = 0x02;
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("no bytes") << QByteArray();
    QTest::newRow("version byte only") << QByteArray(1, '\x03');
    QTest::newRow("version and flags only") << QByteArray("\x03\x04", 2);
    QTest::newRow("version byte 0x02") << version2;
    QTest::newRow("block too short for the digest") << cipher.encode(QByteArray()).left(22);
    QTest::newRow("last byte cut off") << valid.chopped(1);
    QTest::newRow("one byte added") << valid + 'x';
}

void TestPayloadCipher::decodeRejectsInvalidForms()
{
    QFETCH(QByteArray, data);
    const PayloadCipher cipher(PackageKey);
    QCOMPARE(cipher.tryDecode(data).has_value(), false);
    QCOMPARE(cipher.decode(data), QByteArray());
}

void TestPayloadCipher::decodeIgnoresFlagsByte()
{
    const PayloadCipher cipher(PackageKey);
    QByteArray data = cipher.encode("payload");
    data[1] = 0x00;
    QCOMPARE(cipher.decode(data), QByteArray("payload"));
}

void TestPayloadCipher::tryDecodeTellsEmptyPayloadFromFailure()
{
    const PayloadCipher cipher(PackageKey);
    const std::optional<QByteArray> empty = cipher.tryDecode(cipher.encode(QByteArray()));
    QVERIFY(empty.has_value());
    QCOMPARE(*empty, QByteArray());
    QVERIFY(!cipher.tryDecode(QByteArray(23, '\0')).has_value());
}

QTEST_APPLESS_MAIN(TestPayloadCipher)
#include "tst_payloadcipher.moc"
