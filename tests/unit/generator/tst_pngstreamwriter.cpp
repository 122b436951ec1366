#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"
#include "pngstreamwriter.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The streaming PNG encoder: valid files for independent decoders, the same
// bytes whatever the bands and threads, and the resolution and text chunks
// it is given.
namespace {

// A rendered artwork large enough to span several compressed pieces.
QImage artwork()
{
    QVariantMap map;
    QString error;
    if (!readJsonParameterFile(QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_mixed_map.json"), &map, &error))
        qFatal("%s", qPrintable(error));
    map.insert(QStringLiteral("width"), 613);
    map.insert(QStringLiteral("height"), 347);
    CircuitGenerator generator;
    generator.readParameters(map);
    CircuitRenderer renderer;
    generator.generateCircuit();
    return renderer.render(ArtworkScene(generator), generator.settings(), 1.0f, Composite)->copy();
}

QByteArray encodeInBands(const QImage &image, int bandRows, int threads)
{
    PngStreamWriter::Options options;
    options.threads = threads;
    QByteArray bytes;
    PngStreamWriter writer(
            [&bytes](const char *data, qint64 size) {
                bytes.append(data, int(size));
                return true;
            },
            image.width(), image.height(), options);
    if (!writer.begin())
        return QByteArray();
    for (int top = 0; top < image.height(); top += bandRows) {
        if (!writer.writeRows(image.copy(0, top, image.width(), std::min(bandRows, image.height() - top))))
            return QByteArray();
    }
    return writer.finish() ? bytes : QByteArray();
}

QByteArray rgbaBytes(const QImage &image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    QByteArray bytes;
    for (int y = 0; y < rgba.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(rgba.constScanLine(y)), rgba.width() * 4);
    return bytes;
}

} // namespace

class TestPngStreamWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void bytesDoNotDependOnBandsOrThreads_data();
    void bytesDoNotDependOnBandsOrThreads();
    void imageLibraryDecodesTheSamePixels();
    void pythonZlibDecodesTheSamePixels();
    void resolutionAndTextChunksAreWritten_data();
    void resolutionAndTextChunksAreWritten();
    void storedImageDecodesTheSamePixels();
    void wrongRowCountFailsToFinish();

private:
    QImage m_image;
    QByteArray m_reference;
};

void TestPngStreamWriter::initTestCase()
{
    m_image = artwork();
    QVERIFY(!m_image.isNull());
    m_reference = encodeInBands(m_image, m_image.height(), 1);
    QVERIFY(!m_reference.isEmpty());
}

void TestPngStreamWriter::bytesDoNotDependOnBandsOrThreads_data()
{
    QTest::addColumn<int>("bandRows");
    QTest::addColumn<int>("threads");
    QTest::newRow("one row at a time on one thread") << 1 << 1;
    QTest::newRow("bands of 7 rows on three threads") << 7 << 3;
    QTest::newRow("bands of 64 rows on two threads") << 64 << 2;
    QTest::newRow("the whole image on four threads") << 10000 << 4;
}

void TestPngStreamWriter::bytesDoNotDependOnBandsOrThreads()
{
    QFETCH(int, bandRows);
    QFETCH(int, threads);
    QVERIFY(encodeInBands(m_image, bandRows, threads) == m_reference);
}

void TestPngStreamWriter::imageLibraryDecodesTheSamePixels()
{
    const QImage decoded = QImage::fromData(m_reference, "PNG");
    QCOMPARE(decoded.size(), m_image.size());
    QVERIFY(decoded.convertToFormat(QImage::Format_ARGB32) == m_image);
}

void TestPngStreamWriter::pythonZlibDecodesTheSamePixels()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("art.png"));
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(m_reference), qint64(m_reference.size()));
    }
    // The project's digest script decodes with Python's zlib and its own
    // unfiltering, and checks nothing of ours: a second, independent decoder.
    const QString script = QStringLiteral("import sys, hashlib, zlib, struct\n"
                                          "sys.path.insert(0, sys.argv[1])\n"
                                          "import artwork_digest\n"
                                          "data = open(sys.argv[2], 'rb').read()\n"
                                          "pos = 8\n"
                                          "while pos < len(data):\n"
                                          "    n, kind = struct.unpack('>I4s', data[pos:pos + 8])\n"
                                          "    crc = struct.unpack('>I', data[pos + 8 + n:pos + 12 + n])[0]\n"
                                          "    assert zlib.crc32(data[pos + 4:pos + 8 + n]) == crc, kind\n"
                                          "    pos += 12 + n\n"
                                          "w, h, ch, pixels = artwork_digest.png_pixels(sys.argv[2])\n"
                                          "print(w, h, ch, hashlib.sha256(pixels).hexdigest())\n");
    QProcess process;
    process.start(python, {QStringLiteral("-c"), script, QStringLiteral(TRESSIL_SOURCE_DIR "/scripts"), file});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.readAllStandardError(), QByteArray());
    const QByteArray expected = QByteArray::number(m_image.width()) + ' ' + QByteArray::number(m_image.height()) + " 4 "
            + QCryptographicHash::hash(rgbaBytes(m_image), QCryptographicHash::Sha256).toHex() + '\n';
    QCOMPARE(process.readAllStandardOutput(), expected);
}

void TestPngStreamWriter::resolutionAndTextChunksAreWritten_data()
{
    QTest::addColumn<int>("pixelsPerMetre");
    QTest::addColumn<int>("expected");
    QTest::newRow("no resolution given keeps 100 dpi") << -1 << 3937;
    QTest::newRow("300 dpi is 11811 pixels per metre") << 11811 << 11811;
}

void TestPngStreamWriter::resolutionAndTextChunksAreWritten()
{
    QFETCH(int, pixelsPerMetre);
    QFETCH(int, expected);
    PngStreamWriter::Options options;
    if (pixelsPerMetre > 0)
        options.pixelsPerMetre = pixelsPerMetre;
    options.texts.append({"Title", "circuit", false});
    options.texts.append({"Settings", QStringLiteral("{\"scale\": 0.6, \"name\": \"Schaltkreis ü\"}").toUtf8(), true});
    const QImage small = m_image.copy(0, 0, 40, 30);
    const QImage decoded = QImage::fromData(PngStreamWriter::encode(small, options), "PNG");
    QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32), small);
    QCOMPARE(decoded.dotsPerMeterX(), expected);
    QCOMPARE(decoded.dotsPerMeterY(), expected);
    QCOMPARE(decoded.text(QStringLiteral("Title")), QStringLiteral("circuit"));
    QCOMPARE(decoded.text(QStringLiteral("Settings")), QStringLiteral("{\"scale\": 0.6, \"name\": \"Schaltkreis ü\"}"));
}

void TestPngStreamWriter::storedImageDecodesTheSamePixels()
{
    PngStreamWriter::Options options;
    options.stored = true;
    const QByteArray bytes = PngStreamWriter::encode(m_image, options);
    // Stored deflate blocks: the raw rows and little more.
    QVERIFY(bytes.size() > m_image.width() * m_image.height() * 4);
    QVERIFY(QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_ARGB32) == m_image);
}

void TestPngStreamWriter::wrongRowCountFailsToFinish()
{
    PngStreamWriter writer([](const char *, qint64) { return true; }, 10, 5);
    QVERIFY(writer.begin());
    QVERIFY(writer.writeRows(QImage(10, 4, QImage::Format_ARGB32)));
    QVERIFY(!writer.finish());
    QVERIFY(!writer.writeRows(QImage(10, 2, QImage::Format_ARGB32)));
}

QTEST_MAIN(TestPngStreamWriter)
#include "tst_pngstreamwriter.moc"
