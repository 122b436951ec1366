// End-to-end: page script in the real tressil program loads the Lumatrace1 plug-in; its
// answers must match the lumatrace tool, which runs the same generator core.
#include "tressilrunner.h"

#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString pluginPath = QStringLiteral(TRESSIL_BIN_DIR "/libLumatrace1.so");
const QString toolPath = QStringLiteral(TRESSIL_BIN_DIR "/lumatrace");
const QString mapPath = QStringLiteral(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The parameter map as one line of JSON, to hand to page script as an argument.
QString mapArgument(const QJsonObject &map)
{
    return QString::fromUtf8(QJsonDocument(map).toJson(QJsonDocument::Compact));
}

QJsonObject showcaseMap()
{
    return QJsonDocument::fromJson(readFile(mapPath)).object();
}

// Runs the lumatrace tool and returns its standard output; fails the test on errors.
QByteArray runTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(toolPath, arguments);
    if (!tool.waitForFinished(120000) || tool.exitCode() != 0)
        qWarning("lumatrace %s failed: %s", qPrintable(arguments.join(' ')), tool.readAllStandardError().constData());
    return tool.readAllStandardOutput();
}

// Page script run with args[1] = plug-in path, args[2] = map JSON, args[3] = a folder;
// a run(map, dir) that returns true ends the process itself later.
const QByteArray prelude
        = "function main(args) { app.win.show(); ovex.loadPlugin(args[1]);"
          " var map = JSON.parse(args[2]); var dir = args[3]; var later = false;"
          " try { later = run(map, dir); } catch (e) { ovex.println('error ' + e); } if (!later) ovex.exit(0); }\n";
} // namespace

class TestLumatraceE2E : public QObject
{
    Q_OBJECT

private:
    // Runs `body` (the script of run(map, dir)) and returns what it printed.
    static QStringList runPage(const QByteArray &body, const QJsonObject &map, const QString &dir)
    {
        TressilRunner runner;
        runner.writeApplication(prelude + "function run(map, dir) {" + body + "}");
        const TressilRun run = runner.run({pluginPath, mapArgument(map), dir}, 120000);
        if (!run.finished || run.crashed)
            qWarning("tressil did not finish cleanly: %s", run.err.constData());
        return run.lines();
    }

    static bool samePixels(const QString &a, const QString &b)
    {
        const QImage first(a), second(b);
        return !first.isNull()
                && first.convertToFormat(QImage::Format_ARGB32) == second.convertToFormat(QImage::Format_ARGB32);
    }

private Q_SLOTS:
    void viewerWidgetIdIsOneOnAFreshStart();
    void loadingThePluginTwiceGivesASecondObjectAndViewer();
    void generateAnswersWhatTheToolPrints();
    void resetSeedBetweenGeneratesChangesNothing();
    void secondGenerateImageReplacesTheFirst();
    void fileMaskIsHandedToThePage();
    void refusedParametersGiveAnEmptyResultAndTheirReason();
    void previewTakesAnyNumberForTheSides_data();
    void previewTakesAnyNumberForTheSides();
    void vectorExportsRefuseGridsOverTheirLimitWithTheReason();
    void exportsEqualToolExports_data();
    void exportsEqualToolExports();
    void separatePngExportEqualsToolExport();
    void updateGeneratorThenExportDrawsTheGeneratedCircuit();
    void pageSeesExportProgressAndCanCancel();
    void pageCancelsALoopAndLearnsWhyOneIsRefused();
    void previewLoopPlaysTheShownCircuitUntilItChanges();
    void fontsAreTheSystemFamilies();
    void missingQmlFileShowsInViewerErrors();
    void unloadableLibrariesAreIgnored();
    void viewerRunsWithoutChosenSceneGraph();
};

void TestLumatraceE2E::viewerWidgetIdIsOneOnAFreshStart()
{
    const QStringList lines = runPage("ovex.println(typeof llumatrace + ' ' + llumatrace.getIdViewerWidget());",
                                      showcaseMap(), QDir::tempPath());
    QCOMPARE(lines, QStringList {"object 1"});
}

void TestLumatraceE2E::loadingThePluginTwiceGivesASecondObjectAndViewer()
{
    const QStringList lines = runPage("var first = llumatrace; ovex.loadPlugin('" + pluginPath.toUtf8()
                                              + "');"
                                                " ovex.println((llumatrace !== first) + ' ' + "
                                                "first.getIdViewerWidget() + ' ' + llumatrace.getIdViewerWidget());"
                                                " ovex.println(JSON.stringify(first.generate(map)) === "
                                                "JSON.stringify(llumatrace.generate(map)));",
                                      showcaseMap(), QDir::tempPath());
    QCOMPARE(lines, (QStringList {"true 1 2", "true"}));
}

void TestLumatraceE2E::generateAnswersWhatTheToolPrints()
{
    const QStringList lines
            = runPage("ovex.println(JSON.stringify(llumatrace.generate(map)));", showcaseMap(), QDir::tempPath());
    QCOMPARE(lines.size(), 1);
    const QJsonDocument fromPage = QJsonDocument::fromJson(lines.first().toUtf8());
    const QJsonDocument fromTool = QJsonDocument::fromJson(runTool({"generate", mapPath}));
    QVERIFY(!fromTool.object().value("wires").toArray().isEmpty());
    QCOMPARE(fromPage, fromTool);
}

void TestLumatraceE2E::resetSeedBetweenGeneratesChangesNothing()
{
    const QStringList lines = runPage(
            "var a = JSON.stringify(llumatrace.generate(map)); llumatrace.resetSeed();"
            " var b = JSON.stringify(llumatrace.generate(map)); ovex.println(a === b); ovex.println(a.length > 100);",
            showcaseMap(), QDir::tempPath());
    QCOMPARE(lines, (QStringList {"true", "true"}));
}

void TestLumatraceE2E::secondGenerateImageReplacesTheFirst()
{
    QJsonObject map = showcaseMap();
    map["width"] = 320;
    map["height"] = 200;
    const QStringList lines = runPage(
            "llumatrace.generateImage(map); map.width = 240; map.height = 150; llumatrace.generateImage(map);"
            " var img = new Image();"
            " img.onload = function () { ovex.println(img.naturalWidth + 'x' + img.naturalHeight); ovex.exit(0); };"
            " img.onerror = function () { ovex.println('failed'); ovex.exit(0); };"
            " img.src = 'drc:lumatrace_result'; return true;",
            map, QDir::tempPath());
    QCOMPARE(lines, QStringList {"240x150"});
}

void TestLumatraceE2E::refusedParametersGiveAnEmptyResultAndTheirReason()
{
    QTemporaryDir dir;
    const QJsonObject endless
            = QJsonDocument::fromJson(readFile(TRESSIL_TEST_DATA_DIR "/budget_endless_passes.json")).object();
    const QStringList lines = runPage(
            "var r = llumatrace.generate(map), reason = llumatrace.lastError();"
            " ovex.println(JSON.stringify([r.wires.length, reason.indexOf('generation refused: more than the limit"
            " of 1000 fill passes') === 0, llumatrace.exportPNG(dir + '/art.png'),"
            " llumatrace.exportSVG(dir + '/art.svg'), llumatrace.exportBIN(dir + '/art.bin')]));"
            " llumatrace.generateImage(map);"
            " var img = new Image();"
            " img.onload = function () { ovex.println('an image'); next(); };"
            " img.onerror = function () { ovex.println('no image'); next(); };"
            " img.src = 'drc:lumatrace_result';"
            " function next() { map.cutoff_length = 0; var good = llumatrace.generate(map);"
            "   ovex.println(JSON.stringify([good.wires.length > 0, llumatrace.lastError()])); ovex.exit(0); }"
            " return true;",
            endless, dir.path());
    QCOMPARE(lines, (QStringList {"[0,true,false,false,false]", "no image", "[true,\"\"]"}));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void TestLumatraceE2E::previewTakesAnyNumberForTheSides_data()
{
    QTest::addColumn<QByteArray>("side");
    QTest::newRow("1e308, beyond float and int") << QByteArray("1e308");
    QTest::newRow("-1e308") << QByteArray("-1e308");
    QTest::newRow("infinity") << QByteArray("Infinity");
    QTest::newRow("not a number") << QByteArray("NaN");
}

// Page script hands over doubles; the sanitizer build stops at an out-of-range conversion.
void TestLumatraceE2E::previewTakesAnyNumberForTheSides()
{
    QFETCH(QByteArray, side);
    const QStringList lines = runPage("map.width = 600; map.height = " + side
                                              + "; llumatrace.generatePreview(map, 100);"
                                                " map.width = "
                                              + side
                                              + "; map.height = 400; llumatrace.generatePreview(map, 100);"
                                                " ovex.println('previewed');",
                                      showcaseMap(), QDir::tempPath());
    QCOMPARE(lines, QStringList {"previewed"});
}

void TestLumatraceE2E::vectorExportsRefuseGridsOverTheirLimitWithTheReason()
{
    QTemporaryDir dir;
    QJsonObject map = showcaseMap();
    map["scale"] = 1;
    map["width"] = 20 * 725; // 725 x 724 cells: over the PDF's limit, within the SVG's
    map["height"] = 20 * 724;
    const QStringList lines = runPage(
            "function said(text) { return llumatrace.lastError().indexOf(text) >= 0; }"
            " llumatrace.updateGenerator(map);"
            " var pdf = [llumatrace.exportPDF(dir + '/a.pdf', {}), said('725 x 724 = 524900 cells is too large for a"
            " PDF export: the limit is 524288 cells')];"
            " map.width = 20 * 1025; map.height = 20 * 1024; llumatrace.updateGenerator(map);"
            " var svg = [llumatrace.exportSVG(dir + '/b.svg'), said('the limit is 1048576 cells'),"
            " llumatrace.exportArtworkSVG(dir + '/c.svg', {}), said('an artwork SVG export')];"
            " map.width = 200; map.height = 160; llumatrace.generate(map);"
            " ovex.println(JSON.stringify([pdf, svg, llumatrace.lastError()]));",
            map, dir.path());
    QCOMPARE(lines, QStringList {"[[false,true],[false,true,false,true],\"\"]"});
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void TestLumatraceE2E::fileMaskIsHandedToThePage()
{
    QTemporaryDir dir;
    QImage mask(100, 50, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QVERIFY(mask.save(dir.filePath("mask.png")));
    QJsonObject map = showcaseMap();
    map["mask_file_path"] = dir.filePath("mask.png");
    map["masking"] = 1;
    const QStringList lines = runPage(
            "llumatrace.updateGenerator(map);"
            " var img = new Image();"
            " img.onload = function () { ovex.println(img.naturalWidth + 'x' + img.naturalHeight); ovex.exit(0); };"
            " img.onerror = function () { ovex.println('failed'); ovex.exit(0); };"
            " img.src = 'drc:lumatrace_mask_result'; return true;",
            map, dir.path());
    QCOMPARE(lines, QStringList {"200x100"}); // 200 wide, aspect ratio kept
}

void TestLumatraceE2E::exportsEqualToolExports_data()
{
    QTest::addColumn<QString>("call"); // page script; `file` names the output
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("toolOptions");
    QTest::newRow("svg") << "llumatrace.exportSVG(file)"
                         << "art.svg" << QStringList();
    QTest::newRow("svg, not separate") << "llumatrace.exportSVG(file, false)"
                                       << "art.svg" << QStringList();
    QTest::newRow("png at 100 %") << "llumatrace.exportPNG(file)"
                                  << "art.png" << QStringList();
    QTest::newRow("png at 50 %") << "llumatrace.exportPNG(file, 50)"
                                 << "art.png" << QStringList {"--scale", "50"};
    QTest::newRow("png at 150 %, not separate") << "llumatrace.exportPNG(file, 150, false)"
                                                << "art.png" << QStringList {"--scale", "150"};
    QTest::newRow("raw rgb at 100 %") << "llumatrace.exportBIN(file)"
                                      << "art.bin" << QStringList();
    QTest::newRow("raw rgb at 25 %") << "llumatrace.exportBIN(file, 25)"
                                     << "art.bin" << QStringList {"--scale", "25"};
    QTest::newRow("artwork svg on A4") << "llumatrace.exportArtworkSVG(file, {paper: 'A4'})"
                                       << "art.svg" << QStringList {"--artwork", "--paper", "A4"};
    QTest::newRow("pdf on Letter, landscape, no background")
            << "llumatrace.exportPDF(file, {paper: 'Letter', landscape: true, background: false, title: 'Night shift'})"
            << "art.pdf" << QStringList {"--paper", "Letter", "--landscape", "--no-background", "--title", "Night shift"};
    QTest::newRow("pdf on A4 with margin and bleed")
            << "llumatrace.exportPDF(file, {paper: 'A4', margin: 12, bleed: 3, title: 'render_showcase_map'})"
            << "art.pdf" << QStringList {"--paper", "A4", "--margin", "12", "--bleed", "3"};
    QTest::newRow("print png, A5 sheet with a margin")
            << "llumatrace.exportPrintPNG(file, {paper: 'A5', dpi: 72, margin: 8})"
            << "sheet.png" << QStringList {"--paper", "A5", "--dpi", "72", "--margin", "8"};
    QTest::newRow("plotter svg on A3, 0.3 mm pen")
            << "llumatrace.exportArtworkSVG(file, {paper: 'A3', plotter: true, pen: 0.3})"
            << "plot.svg" << QStringList {"--plotter", "--paper", "A3", "--pen", "0.3"};
    QTest::newRow("plotter pdf, wires as outlines")
            << "llumatrace.exportPDF(file, {plotter: true, outlines: true, title: 'render_showcase_map'})"
            << "plot.pdf" << QStringList {"--plotter", "--outlines"};
    QTest::newRow("mp4 loop at 25 %") << "llumatrace.exportAnimation(file, {frames: 4, fps: 12, scale: 25})"
                                      << "art.mp4" << QStringList {"--frames", "4", "--fps", "12", "--scale", "25"};
    QTest::newRow("gif loop, defaults but the frames") << "llumatrace.exportAnimation(file, {frames: 3, scale: 20})"
                                                       << "art.gif" << QStringList {"--frames", "3", "--scale", "20"};
}

void TestLumatraceE2E::exportsEqualToolExports()
{
    QFETCH(QString, call);
    QFETCH(QString, file);
    QFETCH(QStringList, toolOptions);
    QTemporaryDir pageDir, toolDir;
    const QStringList lines = runPage(
            ("llumatrace.generate(map); var file = dir + '/" + file + "'; ovex.println(" + call + ");").toUtf8(),
            showcaseMap(), pageDir.path());
    QCOMPARE(lines, QStringList {"true"});
    runTool(QStringList {"export", mapPath, toolDir.filePath(file)} + toolOptions);
    const QString pageFile = pageDir.filePath(file), toolFile = toolDir.filePath(file);
    if (file.endsWith(".png"))
        QVERIFY(samePixels(pageFile, toolFile));
    else
        QCOMPARE(readFile(pageFile), readFile(toolFile));
    QVERIFY(QFileInfo(pageFile).size() > 0);
}

void TestLumatraceE2E::separatePngExportEqualsToolExport()
{
    QTemporaryDir pageDir, toolDir;
    const QStringList lines
            = runPage("llumatrace.updateGenerator(map); ovex.println(llumatrace.exportPNG(dir + '/art.png', 50, true));"
                      " ovex.println(llumatrace.exportSVG(dir + '/art.svg', true));",
                      showcaseMap(), pageDir.path());
    QCOMPARE(lines, (QStringList {"true", "true"}));
    runTool({"export", mapPath, toolDir.filePath("art.png"), "--scale", "50", "--separate"});
    runTool({"export", mapPath, toolDir.filePath("art.svg"), "--separate"});
    const QStringList written = QDir(pageDir.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(written, QDir(toolDir.path()).entryList(QDir::Files, QDir::Name));
    QVERIFY(written.size() >= 8);
    for (const QString &name : written) {
        if (name.endsWith(".png"))
            QVERIFY2(samePixels(pageDir.filePath(name), toolDir.filePath(name)), qPrintable(name));
        else
            QVERIFY2(readFile(pageDir.filePath(name)) == readFile(toolDir.filePath(name)), qPrintable(name));
    }
}

void TestLumatraceE2E::updateGeneratorThenExportDrawsTheGeneratedCircuit()
{
    QTemporaryDir dir;
    const QStringList lines
            = runPage("llumatrace.generate(map); llumatrace.exportSVG(dir + '/after-generate.svg');"
                      " var other = JSON.parse(JSON.stringify(map)); other.seed = 99; llumatrace.generate(other);"
                      " llumatrace.updateGenerator(map); llumatrace.exportSVG(dir + '/after-update.svg');"
                      " llumatrace.generate(other); llumatrace.exportSVG(dir + '/other.svg');",
                      showcaseMap(), dir.path());
    QVERIFY(lines.isEmpty());
    const QByteArray afterGenerate = readFile(dir.filePath("after-generate.svg"));
    QVERIFY(afterGenerate.startsWith("<"));
    QCOMPARE(readFile(dir.filePath("after-update.svg")), afterGenerate);
    QVERIFY(readFile(dir.filePath("other.svg")) != afterGenerate);
}

void TestLumatraceE2E::pageSeesExportProgressAndCanCancel()
{
    QTemporaryDir dir;
    // At 400 % the canvas (2400 x 2400) is rendered in more than one band.
    const QStringList lines
            = runPage("llumatrace.updateGenerator(map); var seen = [];"
                      " var cancelling = function (p) { seen.push(p); if (p < 100) llumatrace.cancelExport();"
                      "   seen.push(llumatrace.isExporting()); seen.push(JSON.stringify(llumatrace.generate(map))); };"
                      " llumatrace.exportProgress.connect(cancelling);"
                      " ovex.println(llumatrace.exportPNG(dir + '/cancelled.png', 400));"
                      " ovex.println(seen.join(' '));"
                      " llumatrace.exportProgress.disconnect(cancelling); seen = [];"
                      " llumatrace.exportProgress.connect(function (p) { seen.push(p); });"
                      " ovex.println(llumatrace.exportBIN(dir + '/done.bin', 400));"
                      " ovex.println(seen[seen.length - 1]); ovex.println(llumatrace.isExporting());",
                      showcaseMap(), dir.path());
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral("false"));
    // The first band's share, the export still running, and generate refused meanwhile.
    QVERIFY2(lines[1].endsWith(QStringLiteral(" true {}")), qPrintable(lines[1]));
    QVERIFY(lines[1].split(' ').first().toInt() < 100);
    QCOMPARE(lines[2], QStringLiteral("true"));
    QCOMPARE(lines[3], QStringLiteral("100"));
    QCOMPARE(lines[4], QStringLiteral("false"));
    QVERIFY(!QFileInfo::exists(dir.filePath("cancelled.png")));
    QCOMPARE(QFileInfo(dir.filePath("done.bin")).size(), 3LL * 2400 * 2400);
}

void TestLumatraceE2E::pageCancelsALoopAndLearnsWhyOneIsRefused()
{
    QTemporaryDir dir;
    const QStringList lines
            = runPage("llumatrace.updateGenerator(map); var seen = [];"
                      " llumatrace.exportProgress.connect(function (p) { seen.push(p);"
                      "   if (p >= 50) llumatrace.cancelExport(); });"
                      " ovex.println(llumatrace.exportAnimation(dir + '/cancelled.webm', {frames: 10, scale: 20}));"
                      " ovex.println(seen.join(' '));"
                      " ovex.println(llumatrace.exportAnimation(dir + '/refused.mp4', {frames: 1}));"
                      " ovex.println(llumatrace.lastError());",
                      showcaseMap(), dir.path());
    QCOMPARE(lines, (QStringList {"false", "10 20 30 40 50", "false", "a loop has 2 to 1000 frames, not 1"}));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestLumatraceE2E::previewLoopPlaysTheShownCircuitUntilItChanges()
{
    QJsonObject map = showcaseMap();
    map["width"] = 300;
    map["height"] = 200;
    const QStringList lines = runPage(
            "function get(name) { var x = new XMLHttpRequest(); x.open('GET', 'drc:' + name, false);"
            "  x.overrideMimeType('text/plain; charset=x-user-defined'); x.send(); return x.responseText; }"
            " llumatrace.generateImage(map); var still = get('lumatrace_result'); var out = [];"
            " out.push(llumatrace.previewLoopFrame(0, 4), get('lumatrace_loop_frame') === still);"
            " out.push(llumatrace.previewLoopFrame(1, 4), get('lumatrace_loop_frame') !== still);"
            " out.push(llumatrace.previewLoopFrame(4, 4));"
            " llumatrace.generatePreview(map, 100, 'thumbnail'); out.push(llumatrace.previewLoopFrame(1, 4));"
            " llumatrace.generateImage(map); out.push(llumatrace.previewLoopFrame(2, 4));"
            " llumatrace.updateGenerator(map); out.push(llumatrace.previewLoopFrame(2, 4));"
            " ovex.println(out.join(' '));",
            map, QDir::tempPath());
    QCOMPARE(lines, QStringList {"true true true true false false true false"});
}

void TestLumatraceE2E::fontsAreTheSystemFamilies()
{
    const QStringList lines
            = runPage("ovex.println(JSON.stringify(llumatrace.getFonts()));", showcaseMap(), QDir::tempPath());
    QCOMPARE(lines.size(), 1);
    const QStringList families = QJsonDocument::fromJson(lines.first().toUtf8()).toVariant().toStringList();
    QVERIFY(!families.isEmpty());
    QCOMPARE(families, QFontDatabase().families());
}

void TestLumatraceE2E::missingQmlFileShowsInViewerErrors()
{
    const QStringList lines = runPage("ovex.println(llumatrace.getViewerErrors().length);"
                                      " llumatrace.setQMLFile(dir + '/missing.qml');"
                                      " var errors = llumatrace.getViewerErrors();"
                                      " ovex.println(errors.length > 0 && errors[0].indexOf('missing.qml') >= 0);",
                                      showcaseMap(), QDir::tempPath());
    QCOMPARE(lines, (QStringList {"0", "true"}));
}

void TestLumatraceE2E::unloadableLibrariesAreIgnored()
{
    TressilRunner runner;
    runner.writeAppFile("not-a-library.so", "plain text");
    runner.writeApplication("function main(args) { app.win.show();"
                            " ovex.loadPlugin(args[1] + '/app/not-a-library.so');"
                            " ovex.loadPlugin('/nonexistent/libNothing.so');"
                            " ovex.loadPlugin(args[2]);" // a real library without getPlugin
                            " ovex.println(typeof llumatrace); ovex.exit(0); }");
    const TressilRun run = runner.run({runner.directory(), QStringLiteral("libz.so.1")});
    QVERIFY(run.finished && !run.crashed);
    QCOMPARE(run.lines(), QStringList {"undefined"});
}

void TestLumatraceE2E::viewerRunsWithoutChosenSceneGraph()
{
    // Without a scene graph named in the environment the viewer must find one that works
    // here (no OpenGL on the offscreen platform) instead of ending the process.
    TressilRunner runner;
    runner.writeAppFile("viewer.qml", "import QtQuick 2.0\nRectangle { color: 'teal'; Text { text: 'viewer' } }\n");
    runner.writeApplication("function main(args) { app.win.show(); ovex.loadPlugin(args[1]);"
                            " llumatrace.setQMLFile(args[2]);"
                            " document.body.innerHTML = '<object type=\"ovex/widget\" widget-id=\"1\" width=\"200\" "
                            "height=\"120\"></object>';"
                            " setTimeout(function () { ovex.println(JSON.stringify(llumatrace.getViewerErrors())); "
                            "ovex.exit(0); }, 500); }");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QUICK_BACKEND"));
    const TressilRun run
            = runner.run({pluginPath, runner.directory() + "/app/viewer.qml"}, 30000, QString(), environment);
    QVERIFY2(run.finished && !run.crashed, run.err.constData());
    QCOMPARE(run.lines(), QStringList {"[]"});
    QCOMPARE(run.exitCode, 0);
}

QTEST_MAIN(TestLumatraceE2E)
#include "tst_lumatrace_e2e.moc"
