#include "artworkexporter.h"
#include "bytesink.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportertestbase.h"
#include "exportfile.h"
#include "exportwriter.h"
#include "samplemaps.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// Export files are written completely or not at all: a failing write, flush
// or rename reports failure, leaves nothing under the final name and keeps
// the file that was there.
namespace {

enum class Export { Png, PngLayers, Svg, SvgLayers, Bin, ArtworkSvg, Pdf };

ExportResult runExport(CircuitExporter &exporter, CircuitGenerator &generator, Export kind, const QString &file)
{
    switch (kind) {
    case Export::ArtworkSvg:
        return ArtworkExporter(generator).exportSvg(file, {});
    case Export::Pdf:
        return ArtworkExporter(generator).exportPdf(file, {});
    case Export::Png:
        return exporter.exportPng(file, 100, false);
    case Export::PngLayers:
        return exporter.exportPng(file, 100, true);
    case Export::Svg:
        return exporter.exportSvg(file, false);
    case Export::SvgLayers:
        return exporter.exportSvg(file, true);
    case Export::Bin:
        break;
    }
    return exporter.exportBin(file, 100);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Caps the size of any file this process writes, as a nearly full disk
// would; restores the previous cap when it goes.
class FileSizeCap
{
public:
    explicit FileSizeCap(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit cap = m_previous;
        cap.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeCap() { setrlimit(RLIMIT_FSIZE, &m_previous); }

private:
    rlimit m_previous;
};

} // namespace

Q_DECLARE_METATYPE(Export)

class TestExportFile : public ExporterTestBase
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void writeCutShortKeepsTheOldFileAndLeavesNoOther_data();
    void writeCutShortKeepsTheOldFileAndLeavesNoOther();
    void fullDeviceReportsAFullDisk_data();
    void fullDeviceReportsAFullDisk();
    void unwritableFolderFailsToOpenAndWritesNothing_data();
    void unwritableFolderFailsToOpenAndWritesNothing();
    void completedWriteReplacesTheOldFileAndLeavesNoTemporary();
    void abandonedWriteLeavesNothing();
    void failedProducerKeepsTheOldFile();

private:
    QStringList entries() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
};

void TestExportFile::initTestCase()
{
    // Writing past the size cap must fail the write, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    readSampleMap();
}

void TestExportFile::init()
{
    startAfresh();
}

void TestExportFile::writeCutShortKeepsTheOldFileAndLeavesNoOther_data()
{
    QTest::addColumn<Export>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("a PNG cut short keeps the old PNG") << Export::Png << "art.png";
    QTest::newRow("a layered PNG export stops at its first file") << Export::PngLayers << "art.png";
    QTest::newRow("an SVG cut short keeps the old SVG") << Export::Svg << "art.svg";
    QTest::newRow("a layered SVG export stops at its first file") << Export::SvgLayers << "art.svg";
    QTest::newRow("a BIN cut short keeps the old BIN") << Export::Bin << "art.bin";
    QTest::newRow("an artwork SVG cut short keeps the old SVG") << Export::ArtworkSvg << "art.svg";
    QTest::newRow("a PDF cut short keeps the old PDF") << Export::Pdf << "art.pdf";
}

void TestExportFile::writeCutShortKeepsTheOldFileAndLeavesNoOther()
{
    QFETCH(Export, kind);
    QFETCH(QString, name);
    writeBytes(path(name), "the artwork that was there");
    ExportResult result;
    {
        const FileSizeCap cap(1024);
        result = runExport(*m_exporter, *m_generator, kind, path(name));
    }
    QCOMPARE(int(result.failure), int(ExportResult::CannotWriteFile));
    QCOMPARE(result.file, path(name));
    QCOMPARE(fileBytes(path(name)), QByteArray("the artwork that was there"));
    QCOMPARE(entries(), QStringList {name});
}

void TestExportFile::fullDeviceReportsAFullDisk_data()
{
    QTest::addColumn<Export>("kind");
    QTest::newRow("PNG to a full device fails") << Export::Png;
    QTest::newRow("SVG to a full device fails") << Export::Svg;
    QTest::newRow("BIN to a full device fails") << Export::Bin;
    QTest::newRow("artwork SVG to a full device fails") << Export::ArtworkSvg;
    QTest::newRow("PDF to a full device fails") << Export::Pdf;
}

void TestExportFile::fullDeviceReportsAFullDisk()
{
    QFETCH(Export, kind);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("this system has no /dev/full");
    const ExportResult result = runExport(*m_exporter, *m_generator, kind, QStringLiteral("/dev/full"));
    QCOMPARE(int(result.failure), int(ExportResult::DiskFull));
    // A device is written in place, never replaced by a renamed file.
    QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
}

void TestExportFile::unwritableFolderFailsToOpenAndWritesNothing_data()
{
    QTest::addColumn<Export>("kind");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("PNG into a read-only folder") << Export::Png << true;
    QTest::newRow("BIN into a read-only folder") << Export::Bin << true;
    QTest::newRow("SVG into a read-only folder") << Export::Svg << true;
    QTest::newRow("PNG under a path that is a file") << Export::Png << false;
}

void TestExportFile::unwritableFolderFailsToOpenAndWritesNothing()
{
    QFETCH(Export, kind);
    QFETCH(bool, readOnlyFolder);
    QString folder = path(QStringLiteral("folder"));
    if (readOnlyFolder) {
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (QFileInfo(folder).isWritable())
            QSKIP("permissions do not bind this user (root)");
    } else {
        writeBytes(folder, "a file, not a folder");
    }
    const QString file = folder + QStringLiteral("/art.x");
    const ExportResult result = runExport(*m_exporter, *m_generator, kind, file);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(int(result.failure), int(ExportResult::CannotOpenFile));
    QVERIFY(!QFileInfo::exists(file));
    if (readOnlyFolder)
        QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestExportFile::completedWriteReplacesTheOldFileAndLeavesNoTemporary()
{
    writeBytes(path("art.bin"), "old");
    QVERIFY(m_exporter->exportBin(path("art.bin"), 100).ok());
    QCOMPARE(fileBytes(path("art.bin")).size(), 3 * 200 * 160);
    QCOMPARE(entries(), QStringList {"art.bin"});
}

void TestExportFile::abandonedWriteLeavesNothing()
{
    {
        ExportFile file(path("art.png"));
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray("half an image")));
    }
    QVERIFY(entries().isEmpty());
}

void TestExportFile::failedProducerKeepsTheOldFile()
{
    writeBytes(path("art.pdf"), "the artwork that was there");
    const ExportFile::Error error = ExportWriter::streamFile(path("art.pdf"), [](ByteSink &out) {
        out.append("%PDF-1.4\n");
        out.fail(); // as a compression error does
    });
    QCOMPARE(int(error), int(ExportFile::Error::CannotWrite));
    QCOMPARE(fileBytes(path("art.pdf")), QByteArray("the artwork that was there"));
    QCOMPARE(entries(), QStringList {"art.pdf"});
}

QTEST_GUILESS_MAIN(TestExportFile)
#include "tst_exportfile.moc"
