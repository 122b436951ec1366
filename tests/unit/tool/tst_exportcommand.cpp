// The lumatrace tool's export command, run as a real process and compared
// with the core's exports in this process.
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray err;
};

ToolRun runTool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), args);
    if (!process.waitForStarted(10000) || !process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardError()};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kMap = QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json");

} // namespace

class TestExportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void exportWritesWhatTheCoreWrites_data();
    void exportWritesWhatTheCoreWrites();
    void usageErrorsWriteNothing_data();
    void usageErrorsWriteNothing();
    void unopenableFileFailsNamingIt();
    void emptyCanvasFailsWithAMessage();
    void svgOfACanvasWithoutPixelsIsRefused_data();
    void svgOfACanvasWithoutPixelsIsRefused();
    void refusedGenerationWritesNothing_data();
    void refusedGenerationWritesNothing();
    void helpDescribesExport();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExportCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestExportCommand::exportWritesWhatTheCoreWrites_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<float>("percent");
    QTest::addColumn<bool>("separate");
    QTest::newRow("png at 100 %") << "art.png" << QStringList {} << 100.0f << false;
    QTest::newRow("png at 50 % by layer") << "art.png" << QStringList {"--scale", "50", "--separate"} << 50.0f << true;
    QTest::newRow("upper-case PNG extension") << "ART.PNG" << QStringList {} << 100.0f << false;
    QTest::newRow("svg") << "art.svg" << QStringList {} << 100.0f << false;
    QTest::newRow("svg by layer") << "art.svg" << QStringList {"--separate"} << 100.0f << true;
    QTest::newRow("bin at 150 %") << "art.bin" << QStringList {"--scale", "150"} << 150.0f << false;
}

void TestExportCommand::exportWritesWhatTheCoreWrites()
{
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    QFETCH(float, percent);
    QFETCH(bool, separate);
    QDir dir(m_dir->path());
    QVERIFY(dir.mkdir(QStringLiteral("tool")) && dir.mkdir(QStringLiteral("core")));
    const ToolRun run = runTool(QStringList {"export", kMap, dir.filePath("tool/" + file)} + options);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());

    QVariantMap parameters;
    QString error;
    QVERIFY(readJsonParameterFile(kMap, &parameters, &error));
    CircuitGenerator generator;
    generator.readParameters(parameters);
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    const QString coreFile = dir.filePath("core/" + file);
    const QString suffix = QFileInfo(file).suffix().toLower();
    const ExportResult result = suffix == QLatin1String("svg") ? exporter.exportSvg(coreFile, separate)
            : suffix == QLatin1String("bin")                   ? exporter.exportBin(coreFile, percent)
                                                               : exporter.exportPng(coreFile, percent, separate);
    QVERIFY(result.ok());

    const QStringList written = QDir(dir.filePath("core")).entryList(QDir::Files);
    QCOMPARE(written.size(), separate ? (suffix == QLatin1String("svg") ? 5 : 6) : 1);
    QCOMPARE(QDir(dir.filePath("tool")).entryList(QDir::Files), written);
    for (const QString &name : written) {
        const QString tool = dir.filePath("tool/" + name);
        const QString core = dir.filePath("core/" + name);
        // PNG files carry the screen resolution of the process beside the
        // pixels, so they are compared as images; the others byte by byte.
        if (suffix == QLatin1String("png"))
            QVERIFY2(QImage(tool) == QImage(core) && !QImage(core).isNull(), qPrintable(name));
        else
            QVERIFY2(fileBytes(tool) == fileBytes(core), qPrintable(name));
    }
}

void TestExportCommand::usageErrorsWriteNothing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("an unknown extension") << QStringList {"art.jpg"};
    QTest::newRow("no extension") << QStringList {"art"};
    QTest::newRow("a scale for SVG") << QStringList {"art.svg", "--scale", "200"};
    QTest::newRow("layers for BIN") << QStringList {"art.bin", "--separate"};
    QTest::newRow("a scale without a value") << QStringList {"art.png", "--scale"};
    QTest::newRow("a scale that is not a number") << QStringList {"art.png", "--scale", "big"};
    QTest::newRow("an unknown option") << QStringList {"art.png", "--layers"};
    QTest::newRow("two output files") << QStringList {"art.png", "more.png"};
    QTest::newRow("no output file") << QStringList {};
}

void TestExportCommand::usageErrorsWriteNothing()
{
    QFETCH(QStringList, args);
    QStringList full {"export", kMap};
    for (const QString &arg : args)
        full.append(arg.startsWith(QLatin1String("--")) || arg == QLatin1String("200") || arg == QLatin1String("big")
                            ? arg
                            : m_dir->filePath(arg));
    const ToolRun run = runTool(full);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith("lumatrace: usage: lumatrace export"));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

void TestExportCommand::unopenableFileFailsNamingIt()
{
    const QString file = m_dir->filePath("missing/art.png");
    const ToolRun run = runTool({"export", kMap, file});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "lumatrace: " + file.toUtf8() + ": cannot open the file for writing\n");
}

void TestExportCommand::emptyCanvasFailsWithAMessage()
{
    const QString file = m_dir->filePath("art.bin");
    const ToolRun run = runTool({"export", kMap, file, "--scale", "0"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.startsWith("lumatrace: " + file.toUtf8() + ": nothing to draw"));
    QVERIFY(!QFile::exists(file));
}

void TestExportCommand::svgOfACanvasWithoutPixelsIsRefused_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("zero width") << 0.0 << 400.0;
    QTest::newRow("negative height") << 600.0 << -400.0;
}

void TestExportCommand::svgOfACanvasWithoutPixelsIsRefused()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFile source(kMap);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVariantMap map = QJsonDocument::fromJson(source.readAll()).toVariant().toMap();
    map["width"] = width;
    map["height"] = height;
    const QString mapPath = m_dir->filePath("map.json");
    QFile mapFile(mapPath);
    QVERIFY(mapFile.open(QIODevice::WriteOnly));
    mapFile.write(QJsonDocument::fromVariant(map).toJson());
    mapFile.close();
    const QString file = m_dir->filePath("art.svg");
    const ToolRun run = runTool({"export", mapPath, file, "--separate"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith("lumatrace: " + file.toUtf8() + ": nothing to draw"), run.err.constData());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {"map.json"});
}

void TestExportCommand::refusedGenerationWritesNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("PNG") << "art.png";
    QTest::newRow("SVG") << "art.svg";
    QTest::newRow("BIN") << "art.bin";
}

void TestExportCommand::refusedGenerationWritesNothing()
{
    QFETCH(QString, file);
    const QString map = QStringLiteral(TRESSIL_TEST_DATA_DIR "/budget_endless_passes.json");
    const ToolRun run = runTool({"export", map, m_dir->filePath(file)});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("lumatrace: " + map.toUtf8() + ": generation refused: "), run.err.constData());
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

void TestExportCommand::helpDescribesExport()
{
    QProcess process;
    process.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), {"--help"});
    QVERIFY(process.waitForFinished(10000));
    const QByteArray out = process.readAllStandardOutput();
    QVERIFY(out.contains("lumatrace export PARAMS.json OUT [--scale PERCENT | --paper NAME | --size WxH(mm|in)]"));
    QVERIFY(out.contains("BASE.dot_signals.png"));
    for (const char *option : {"--scale", "--separate", "--paper", "--size", "--landscape", "--dpi", "--artwork",
                               "--no-background", "OUT.pdf"})
        QVERIFY2(out.contains(option), option);
}

QTEST_GUILESS_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
