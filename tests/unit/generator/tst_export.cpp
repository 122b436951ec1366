#include "artworkscene.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportertestbase.h"
#include "exportfilenames.h"
#include "exportwriter.h"
#include "samplemaps.h"
#include "svgwriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList names(const QVector<ExportFileNames::Entry> &entries)
{
    QStringList list;
    for (const ExportFileNames::Entry &entry : entries)
        list.append(entry.file);
    return list;
}

} // namespace

class TestExport : public ExporterTestBase
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void separateFileNamesFollowTheBase_data();
    void separateFileNamesFollowTheBase();
    void rgbBytesAreRedGreenBlueRowByRow();
    void binOfATwoByOneCanvasIsSixBytes();
    void pngExportFollowsTheScalePercent_data();
    void pngExportFollowsTheScalePercent();
    void pngAndBinShowTheRenderOfAFreshGeneration();
    void separatePngExportWritesSixAgreeingLayers();
    void separateSvgExportWritesFiveDocuments();
    void sameSettingsGiveByteIdenticalFiles();
    void unopenableFileStopsTheSequenceAndKeepsEarlierFiles_data();
    void unopenableFileStopsTheSequenceAndKeepsEarlierFiles();
    void binPathIsOpenedAsGiven();
    void undrawableCanvasFailsWithoutWriting_data();
    void undrawableCanvasFailsWithoutWriting();
};

void TestExport::initTestCase()
{
    readSampleMap();
}

void TestExport::init()
{
    startAfresh();
}

void TestExport::separateFileNamesFollowTheBase_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("svg");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("out/art.png gives six PNG files beside it")
            << "out/art.png" << false << QStringList {"out/art.png",         "out/art.wires.png",
                                                      "out/art.dots.png",    "out/art.components.png",
                                                      "out/art.signals.png", "out/art.dot_signals.png"};
    QTest::newRow("out/art.svg gives five SVG files, no components")
            << "out/art.svg" << true
            << QStringList {"out/art.svg", "out/art.wires.svg", "out/art.dots.svg", "out/art.signals.svg",
                            "out/art.dot_signals.svg"};
    QTest::newRow("my.dir/art takes the last dot of the whole path")
            << "my.dir/art" << true
            << QStringList {"my.dir/art", "my.wires.svg", "my.dots.svg", "my.signals.svg", "my.dot_signals.svg"};
    QTest::newRow("a name without a dot is the base itself") << "art" << false << QStringList {"art",
                                                                                               "art.wires.png",
                                                                                               "art.dots.png",
                                                                                               "art.components.png",
                                                                                               "art.signals.png",
                                                                                               "art.dot_signals.png"};
    QTest::newRow("only the last dot of a name counts")
            << "a.b.PNG" << false
            << QStringList {"a.b.PNG",         "a.b.wires.png",      "a.b.dots.png", "a.b.components.png",
                            "a.b.signals.png", "a.b.dot_signals.png"};
}

void TestExport::separateFileNamesFollowTheBase()
{
    QFETCH(QString, file);
    QFETCH(bool, svg);
    QFETCH(QStringList, files);
    QCOMPARE(names(svg ? ExportFileNames::svgFiles(file) : ExportFileNames::pngFiles(file)), files);
}

void TestExport::rgbBytesAreRedGreenBlueRowByRow()
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(1, 2, 3, 255));
    image.setPixel(1, 0, qRgba(4, 5, 6, 255));
    image.setPixel(0, 1, qRgba(7, 8, 9, 128));
    image.setPixel(1, 1, qRgba(10, 11, 12, 0));
    QCOMPARE(ExportWriter::rgbBytes(image),
             QByteArray::fromHex("010203040506070809"
                                 "0a0b0c"));
}

void TestExport::binOfATwoByOneCanvasIsSixBytes()
{
    GeneratorSettings &settings = m_generator->mutableSettings();
    settings.width = 2;
    settings.height = 1;
    settings.dotSize = 0.0f; // a one-cell wire draws nothing then
    settings.vignetting = 0.0f;
    settings.bgColor = {10, 20, 30};
    settings.chips.clear();
    QVERIFY(m_exporter->exportBin(path("tiny.bin"), 100).ok());
    QCOMPARE(fileBytes(path("tiny.bin")), QByteArray::fromHex("0a141e0a141e"));
}

void TestExport::pngExportFollowsTheScalePercent_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<float>("percent");
    QTest::addColumn<QSize>("size");
    QTest::newRow("100 % is the canvas") << 200 << 160 << 100.0f << QSize(200, 160);
    QTest::newRow("50 % of 600 x 400 is 300 x 200") << 600 << 400 << 50.0f << QSize(300, 200);
    QTest::newRow("50 % of 601 x 400 rounds up to 301 x 200") << 601 << 400 << 50.0f << QSize(301, 200);
    QTest::newRow("250 % of 200 x 160 is 500 x 400") << 200 << 160 << 250.0f << QSize(500, 400);
}

void TestExport::pngExportFollowsTheScalePercent()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(float, percent);
    QFETCH(QSize, size);
    m_generator->mutableSettings().width = width;
    m_generator->mutableSettings().height = height;
    QVERIFY(m_exporter->exportPng(path("art.png"), percent, false).ok());
    const QImage image(path("art.png"));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
}

void TestExport::pngAndBinShowTheRenderOfAFreshGeneration()
{
    // Generation moves stream 5 on; the export must show the same.
    m_generator->generateCircuit();
    QVERIFY(m_exporter->exportPng(path("art.png"), 100, false).ok());
    QVERIFY(m_exporter->exportBin(path("art.bin"), 100).ok());
    m_generator->resetSeed();
    m_generator->generateCircuit();
    const QImage expected = *m_renderer->render(ArtworkScene(*m_generator), m_generator->settings(), 1.0f, Composite);
    const QImage png(path("art.png"));
    QCOMPARE(png.convertToFormat(QImage::Format_ARGB32), expected);
    QCOMPARE(fileBytes(path("art.bin")), ExportWriter::rgbBytes(expected));
    QCOMPARE(m_exporter->lastPng(), fileBytes(path("art.png")));
}

void TestExport::separatePngExportWritesSixAgreeingLayers()
{
    QVERIFY(m_exporter->exportPng(path("art.png"), 100, true).ok());
    const auto files = ExportFileNames::pngFiles(path("art.png"));
    for (const ExportFileNames::Entry &entry : files)
        QCOMPARE(QImage(entry.file).size(), QSize(200, 160));
    // Each layer starts from freshly reset streams, so a layer rendered by hand
    // after a reset shows the same signals and glowing dots.
    for (RenderLayer layer : {Signals, DotSignals}) {
        m_generator->resetSeed();
        const QImage expected = *m_renderer->render(ArtworkScene(*m_generator), m_generator->settings(), 1.0f, layer);
        QCOMPARE(QImage(files[int(layer)].file).convertToFormat(QImage::Format_ARGB32), expected);
    }
    QCOMPARE(m_exporter->lastPng(), fileBytes(files.last().file));
}

void TestExport::separateSvgExportWritesFiveDocuments()
{
    QVERIFY(m_exporter->exportSvg(path("art.svg"), true).ok());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList({"art.dot_signals.svg", "art.dots.svg", "art.signals.svg", "art.svg", "art.wires.svg"}));
    m_generator->resetSeed();
    const QString wires = SvgWriter::svgDocument(ArtworkScene(*m_generator), m_generator->settings(), Wires);
    QCOMPARE(fileBytes(path("art.wires.svg")), wires.toUtf8());
}

void TestExport::sameSettingsGiveByteIdenticalFiles()
{
    QVERIFY(m_exporter->exportSvg(path("a.svg"), false).ok());
    QVERIFY(m_exporter->exportBin(path("a.bin"), 150).ok());
    m_generator->generateCircuit(); // disturb the streams in between
    QVERIFY(m_exporter->exportSvg(path("b.svg"), false).ok());
    QVERIFY(m_exporter->exportBin(path("b.bin"), 150).ok());
    QCOMPARE(fileBytes(path("b.svg")), fileBytes(path("a.svg")));
    QCOMPARE(fileBytes(path("b.bin")), fileBytes(path("a.bin")));
    QCOMPARE(fileBytes(path("a.bin")).size(), 3 * 300 * 240);
}

void TestExport::unopenableFileStopsTheSequenceAndKeepsEarlierFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("png: a blocked dots file keeps the composite and the wires")
            << "art.png"
            << "art.dots.png" << QStringList {"art.png", "art.wires.png"};
    QTest::newRow("svg: a blocked signals file keeps the three before it")
            << "art.svg"
            << "art.signals.svg" << QStringList {"art.dots.svg", "art.svg", "art.wires.svg"};
    QTest::newRow("png: a blocked composite writes nothing") << "art.png"
                                                             << "art.png" << QStringList {};
}

void TestExport::unopenableFileStopsTheSequenceAndKeepsEarlierFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, blocked);
    QFETCH(QStringList, written);
    // A directory in the file's place cannot be opened for writing.
    QVERIFY(QDir(m_dir->path()).mkdir(blocked));
    const ExportResult result = file.endsWith(QLatin1String(".svg")) ? m_exporter->exportSvg(path(file), true)
                                                                     : m_exporter->exportPng(path(file), 100, true);
    QCOMPARE(result.failure, ExportResult::CannotOpenFile);
    QCOMPARE(result.file, path(blocked));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), written);
}

void TestExport::binPathIsOpenedAsGiven()
{
    const QString name = QStringLiteral("\u03a9\u03bc\u03ad\u03b3\u03b1_\u2713.bin");
    QVERIFY(m_exporter->exportBin(path(name), 100).ok());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {name});
    QCOMPARE(fileBytes(path(name)).size(), 3 * 200 * 160);
}

void TestExport::undrawableCanvasFailsWithoutWriting_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<float>("percent");
    QTest::newRow("png at 0 %") << "art.png" << 0.0f;
    QTest::newRow("bin at a negative percentage") << "art.bin" << -100.0f;
    QTest::newRow("png too large to allocate") << "art.png" << 100000.0f;
    QTest::newRow("bin at a percentage that is not a number") << "art.bin" << float(NAN);
}

void TestExport::undrawableCanvasFailsWithoutWriting()
{
    QFETCH(QString, file);
    QFETCH(float, percent);
    const ExportResult result = file.endsWith(QLatin1String(".bin")) ? m_exporter->exportBin(path(file), percent)
                                                                     : m_exporter->exportPng(path(file), percent, true);
    QCOMPARE(result.failure, ExportResult::CanvasNotDrawable);
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
