// The file mask read without trusting the file: what is refused, with which reason, and
// how a refused mask stops generation only when the mask is in use.
#include "circuitgenerator.h"
#include "maskfilereader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestMaskFileReader : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    static QString data(const char *name) { return QStringLiteral(TRESSIL_TEST_DATA_DIR "/") + name; }

private Q_SLOTS:
    void initTestCase();
    void unusableFilesAreRefusedWithAReason_data();
    void unusableFilesAreRefusedWithAReason();
    void anImageWithinTheLimitsIsDecoded();
    void aRefusedMaskStopsGenerationOnlyWhereItIsUsed_data();
    void aRefusedMaskStopsGenerationOnlyWhereItIsUsed();
};

void TestMaskFileReader::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("fifo.png")).constData(), 0600) == 0);
    QVERIFY(QDir(dir.path()).mkdir("folder.png"));
}

void TestMaskFileReader::unusableFilesAreRefusedWithAReason_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a FIFO is refused without waiting for a writer")
            << dir.filePath("fifo.png") << "is not a regular file";
    QTest::newRow("a folder is refused") << dir.filePath("folder.png") << "is not a regular file";
    QTest::newRow("a device is refused") << "/dev/zero"
                                         << "is not a regular file";
    QTest::newRow("a missing file is refused") << dir.filePath("missing.png") << "does not exist";
    QTest::newRow("a PNG declaring 23000 x 23000 pixels is refused before decoding")
            << data("mask_declares_23000px.png") << "declares 23000 x 23000 pixels, more than the limit";
    QTest::newRow("a file that is no image is refused") << data("mask_not_an_image.png") << "is not an image";
}

void TestMaskFileReader::unusableFilesAreRefusedWithAReason()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QString error;
    const QImage image = MaskFileReader::read(path, &error);
    QVERIFY(image.isNull());
    QVERIFY2(error.startsWith(QStringLiteral("the mask file \"%1\" ").arg(path)), qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestMaskFileReader::anImageWithinTheLimitsIsDecoded()
{
    QString error = "stale";
    const QImage image = MaskFileReader::read(data("mask_ring.png"), &error);
    QCOMPARE(error, QString());
    QCOMPARE(image, QImage(data("mask_ring.png")));
}

void TestMaskFileReader::aRefusedMaskStopsGenerationOnlyWhereItIsUsed_data()
{
    QTest::addColumn<QString>("maskType");
    QTest::addColumn<double>("masking");
    QTest::addColumn<bool>("refused");
    QTest::newRow("a used file mask refuses generation") << "image" << 1.0 << true;
    QTest::newRow("masking 0 leaves the file mask unused") << "image" << 0.0 << false;
    QTest::newRow("a text mask leaves the file mask unused") << "text" << 1.0 << false;
}

void TestMaskFileReader::aRefusedMaskStopsGenerationOnlyWhereItIsUsed()
{
    QFETCH(QString, maskType);
    QFETCH(double, masking);
    QFETCH(bool, refused);
    const QVariantMap map {{"width", 200.0},         {"height", 200.0},
                           {"scale", 1.0},           {"wire_length", 0.4},
                           {"loops", 1.0},           {"masking", masking},
                           {"masking_scale_x", 1.0}, {"masking_scale_y", 1.0},
                           {"mask_type", maskType},  {"mask_file_path", dir.filePath("fifo.png")}};
    CircuitGenerator g;
    g.generate(map);
    QCOMPARE(!g.lastError().isEmpty(), refused);
    QCOMPARE(g.circuit()->cellCount() == 0, refused);
    if (refused)
        QVERIFY2(g.lastError().contains("is not a regular file"), qPrintable(g.lastError()));
}

QTEST_MAIN(TestMaskFileReader)
#include "tst_maskfilereader.moc"
