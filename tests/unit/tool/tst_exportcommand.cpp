// The lumatrace tool's export command, run as a real process and compared
// with the core's exports in this process.
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "jsonvariant.h"
#include "toolrunner.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

namespace {

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
    void failedWriteExitsOneAndKeepsTheOldFile_data();
    void failedWriteExitsOneAndKeepsTheOldFile();
    void fullDeviceExitsOneSayingTheDiskIsFull_data();
    void fullDeviceExitsOneSayingTheDiskIsFull();
    void readOnlyFolderExitsOneAndWritesNothing();
    void tooLargeCanvasNamesTheLimit_data();
    void tooLargeCanvasNamesTheLimit();
    void interruptStopsTheExportAndLeavesNoFile_data();
    void interruptStopsTheExportAndLeavesNoFile();
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
    const ToolRun run = runLumatrace(QStringList {"export", kMap, dir.filePath("tool/" + file)} + options);
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
    const ToolRun run = runLumatrace(full);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith("lumatrace: usage: lumatrace export"));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

void TestExportCommand::unopenableFileFailsNamingIt()
{
    const QString file = m_dir->filePath("missing/art.png");
    const ToolRun run = runLumatrace({"export", kMap, file});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "lumatrace: " + file.toUtf8() + ": cannot open the file for writing\n");
}

void TestExportCommand::emptyCanvasFailsWithAMessage()
{
    const QString file = m_dir->filePath("art.bin");
    const ToolRun run = runLumatrace({"export", kMap, file, "--scale", "0"});
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
    const ToolRun run = runLumatrace({"export", mapPath, file, "--separate"});
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
    const ToolRun run = runLumatrace({"export", map, m_dir->filePath(file)});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("lumatrace: " + map.toUtf8() + ": generation refused: "), run.err.constData());
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

void TestExportCommand::failedWriteExitsOneAndKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("PNG") << "art.png" << QStringList {};
    QTest::newRow("PNG by layer") << "art.png" << QStringList {"--separate"};
    QTest::newRow("SVG") << "art.svg" << QStringList {};
    QTest::newRow("BIN") << "art.bin" << QStringList {};
}

void TestExportCommand::failedWriteExitsOneAndKeepsTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(QStringList, options);
    const QString file = m_dir->filePath(name);
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the artwork that was there");
    }
    // A file size cap of 1 KB (shell blocks of 1024 or 512 bytes) fails the
    // write part way, as a full disk would; the ignored signal lets the
    // write fail instead of ending the process.
    const QString command = QStringLiteral("trap '' XFSZ; ulimit -f 2; exec \"$0\" \"$@\"");
    const ToolRun run = runProgram(
            QStringLiteral("/bin/sh"),
            QStringList {"-c", command, QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), "export", kMap, file} + options);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err,
             "lumatrace: " + file.toUtf8() + ": writing the file failed; nothing was written under this name\n");
    QCOMPARE(fileBytes(file), QByteArray("the artwork that was there"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList {name});
}

void TestExportCommand::fullDeviceExitsOneSayingTheDiskIsFull_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("PNG") << "art.png";
    QTest::newRow("SVG") << "art.svg";
    QTest::newRow("BIN") << "art.bin";
}

void TestExportCommand::fullDeviceExitsOneSayingTheDiskIsFull()
{
    QFETCH(QString, name);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("this system has no /dev/full");
    // The tool wants an extension; a link gives the device one.
    const QString file = m_dir->filePath(name);
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), file));
    const ToolRun run = runLumatrace({"export", kMap, file});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "lumatrace: " + file.toUtf8() + ": the disk is full; nothing was written under this name\n");
    QCOMPARE(QFileInfo(file).symLinkTarget(), QStringLiteral("/dev/full"));
}

void TestExportCommand::readOnlyFolderExitsOneAndWritesNothing()
{
    // Permissions do not bind root, so root runs the tool as nobody.
    const bool asNobody = geteuid() == 0;
    if (asNobody && !QFileInfo::exists(QStringLiteral("/usr/bin/setpriv")))
        QSKIP("root without setpriv cannot run as another user");
    QTemporaryDir shared(QDir::tempPath() + QStringLiteral("/exportcommand-XXXXXX"));
    QVERIFY(shared.isValid());
    const QString folder = shared.filePath(QStringLiteral("read-only"));
    QVERIFY(QDir().mkdir(folder));
    const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
            | QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup;
    QVERIFY(QFile::setPermissions(shared.path(), readable | QFileDevice::WriteOwner));
    QVERIFY(QFile::setPermissions(folder, readable));
    const QString map = shared.filePath(QStringLiteral("map.json"));
    QVERIFY(QFile::copy(kMap, map));
    QFile::setPermissions(map, QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup);
    const QString file = folder + QStringLiteral("/art.png");
    QStringList args {"export", map, file};
    const ToolRun run = asNobody ? runProgram(QStringLiteral("/usr/bin/setpriv"),
                                              QStringList {"--reuid=65534", "--regid=65534", "--clear-groups",
                                                           QStringLiteral(TRESSIL_BIN_DIR "/lumatrace")}
                                                      + args)
                                 : runLumatrace(args);
    QFile::setPermissions(folder, readable | QFileDevice::WriteOwner);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "lumatrace: " + file.toUtf8() + ": cannot open the file for writing\n");
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestExportCommand::tooLargeCanvasNamesTheLimit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("scale");
    QTest::newRow("a side of 66,000 pixels") << "art.png"
                                             << "11000";
    QTest::newRow("31,800 pixels square is over 1,000 Mpx") << "art.bin"
                                                            << "5300";
}

void TestExportCommand::tooLargeCanvasNamesTheLimit()
{
    QFETCH(QString, name);
    QFETCH(QString, scale);
    const QString file = m_dir->filePath(name);
    const ToolRun run = runLumatrace({"export", kMap, file, "--scale", scale});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err,
             "lumatrace: " + file.toUtf8() + ": the canvas is too large: width 600 and height 600 at " + scale.toUtf8()
                     + " % exceed the limit of 65535 pixels a side and 1000000000 pixels (1000 Mpx) in all\n");
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestExportCommand::interruptStopsTheExportAndLeavesNoFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("a PNG in bands") << "art.png" << QStringList {"--scale", "900"};
    QTest::newRow("a loop between frames") << "art.mp4" << QStringList {"--frames", "1000"};
}

void TestExportCommand::interruptStopsTheExportAndLeavesNoFile()
{
    QFETCH(QString, name);
    QFETCH(QStringList, options);
    const QString file = m_dir->filePath(name);
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the artwork that was there");
    }
    QProcess process;
    process.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), QStringList {"export", kMap, file} + options);
    QVERIFY(process.waitForStarted(10000));
    // Once the process holds its temporary file open (unnamed or not) the
    // export is past generation and in its bands or frames, where Ctrl-C is caught.
    const QString fds = QStringLiteral("/proc/%1/fd").arg(process.processId());
    auto writing = [&] {
        for (const QFileInfo &fd : QDir(fds).entryInfoList(QDir::System | QDir::Files)) {
            if (fd.symLinkTarget().startsWith(m_dir->path()))
                return true;
        }
        return false;
    };
    QElapsedTimer clock;
    clock.start();
    while (!writing() && clock.elapsed() < 60000)
        QThread::msleep(10);
    if (!writing())
        QSKIP("cannot see the process's open files in /proc");
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 130);
    QCOMPARE(process.readAllStandardError(),
             "lumatrace: " + file.toUtf8() + ": cancelled; nothing was written under this name\n");
    QCOMPARE(fileBytes(file), QByteArray("the artwork that was there"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList {name});
}

void TestExportCommand::helpDescribesExport()
{
    QProcess process;
    process.start(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), {"--help"});
    QVERIFY(process.waitForFinished(10000));
    const QByteArray out = process.readAllStandardOutput();
    // The synopsis, wider than the 80 columns of the help, continues on the next line.
    QVERIFY(out.simplified().contains(
            "lumatrace export PARAMS.json OUT [--scale PERCENT | --paper NAME | --size WxH(mm|in)]"));
    QVERIFY(out.contains("BASE.dot_signals.png"));
    for (const char *option : {"--scale", "--separate", "--paper", "--size", "--landscape", "--dpi", "--artwork",
                               "--no-background", "OUT.pdf"})
        QVERIFY2(out.contains(option), option);
}

QTEST_GUILESS_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
