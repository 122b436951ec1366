// End-to-end: the real tressil program's own command-line options and its start-up output.
#include "ejpwrapper.h"
#include "tressilrunner.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Prints where it was served from and its arguments without the program path.
QByteArray reportingApplication(const QByteArray &source)
{
    return "function main(args) { ovex.println('" + source
            + " ' + JSON.stringify(args.slice(1)));"
              " var x = new XMLHttpRequest(); x.open('GET', 'xrc:/data.txt', false); x.send();"
              " ovex.println(x.status + ':' + x.responseText); ovex.exit(0); }";
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The test's environment without a display: the program may not need one.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    return environment;
}

} // namespace

class TestCommandLineE2E : public QObject
{
    Q_OBJECT

private:
    // A runner whose own app folder would give itself away if it were used.
    static void addDecoy(TressilRunner &runner)
    {
        runner.writeApplication(reportingApplication("beside"));
        runner.writeAppFile("data.txt", "beside");
    }

private Q_SLOTS:
    void appOptionRunsTheFolderWithoutCopyingTheProgram_data();
    void appOptionRunsTheFolderWithoutCopyingTheProgram();
    void packageOptionRunsThePackagedApplication();
    void optionsOfHostAndQtAreTakenOutOfMainsArguments();
    void usageErrorsAreOneLineWithStatusTwoAndNeedNoDisplay_data();
    void usageErrorsAreOneLineWithStatusTwoAndNeedNoDisplay();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();
    void inspectOptionStartsNormally_data();
    void inspectOptionStartsNormally();
    void startWithoutRuntimeFolderPrintsNothing();
    void missingDisplayIsStillReported();
    void noDisplayAndNoPlatformSaysHowToRunHeadless_data();
    void noDisplayAndNoPlatformSaysHowToRunHeadless();
};

void TestCommandLineE2E::appOptionRunsTheFolderWithoutCopyingTheProgram_data()
{
    QTest::addColumn<QStringList>("after"); // arguments after --app DIR
    QTest::addColumn<QString>("expected");
    QTest::newRow("no application arguments") << QStringList() << "folder []";
    QTest::newRow("arguments after -- arrive unchanged") << QStringList {"--", "--inspect", "-reverse", "--", ""}
                                                         << "folder [\"--inspect\",\"-reverse\",\"--\",\"\"]";
    QTest::newRow("plain arguments before -- arrive too")
            << QStringList {"a b", "--", "--c"} << "folder [\"a b\",\"--c\"]";
}

void TestCommandLineE2E::appOptionRunsTheFolderWithoutCopyingTheProgram()
{
    QFETCH(QStringList, after);
    QFETCH(QString, expected);
    TressilRunner runner;
    addDecoy(runner);
    QTemporaryDir folder;
    writeFile(folder.filePath("application.js"), reportingApplication("folder"));
    writeFile(folder.filePath("data.txt"), "folder");
    // A relative folder is taken from the working directory.
    const TressilRun run = runner.run(QStringList {"--app", "."} + after, 30000, folder.path());
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines(), (QStringList {expected, "200:folder"}));
}

void TestCommandLineE2E::packageOptionRunsThePackagedApplication()
{
    TressilRunner runner;
    addDecoy(runner);
    QTemporaryDir work;
    writeFile(work.filePath("src/application.js"), reportingApplication("package"));
    writeFile(work.filePath("src/data.txt"), "package");
    EJPWrapper().wrap(work.filePath("src"), work.filePath("my app.ejp"));
    const TressilRun run = runner.run({"--package", work.filePath("my app.ejp"), "--", "-x"});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines(), (QStringList {"package [\"-x\"]", "200:package"}));
}

void TestCommandLineE2E::optionsOfHostAndQtAreTakenOutOfMainsArguments()
{
    TressilRunner runner;
    runner.writeApplication("function main(args) { ovex.println(JSON.stringify(args)); ovex.exit(0); }");
    const TressilRun run = runner.run({"one", "-platform", "offscreen", "--inspect", "two", "--", "-platform", "x"});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    const QJsonArray received = QJsonDocument::fromJson(run.out).array();
    QCOMPARE(received.size(), 5);
    QCOMPARE(received.at(0).toString(), runner.programPath());
    QCOMPARE(received.at(1).toString(), "one");
    QCOMPARE(received.at(2).toString(), "two");
    QCOMPARE(received.at(3).toString(), "-platform");
    QCOMPARE(received.at(4).toString(), "x");
}

void TestCommandLineE2E::usageErrorsAreOneLineWithStatusTwoAndNeedNoDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("unknown option") << QStringList {"--bogus", "--", "x"}
                                    << QByteArray("tressil: unknown option '--bogus' (application arguments that "
                                                  "start with '-' go after '--'; see tressil --help)\n");
    QTest::newRow("option the application should have behind --")
            << QStringList {"file.txt", "-v"}
            << QByteArray("tressil: unknown option '-v' (application arguments that start with '-' go after "
                          "'--'; see tressil --help)\n");
    QTest::newRow("missing folder") << QStringList {"--app", "/nonexistent/app"}
                                    << QByteArray("tressil: --app /nonexistent/app: no such folder\n");
    QTest::newRow("missing package") << QStringList {"--package", "/nonexistent/a.ejp"}
                                     << QByteArray("tressil: --package /nonexistent/a.ejp: no readable package file\n");
    QTest::newRow("folder without its entry script")
            << QStringList {"--app", "/"} << QByteArray("tressil: --app /: no application.js in the folder\n");
    QTest::newRow("option without its value")
            << QStringList {"--package"} << QByteArray("tressil: --package needs a value (see tressil --help)\n");
}

void TestCommandLineE2E::usageErrorsAreOneLineWithStatusTwoAndNeedNoDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    TressilRunner runner;
    addDecoy(runner);
    const TressilRun run = runner.run(arguments, 30000, QString(), withoutDisplay());
    QVERIFY(run.finished);
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err, message);
    QCOMPARE(run.out, QByteArray());
}

void TestCommandLineE2E::helpAndVersionNeedNoDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("help") << QStringList {"--help"} << QByteArray("Usage: tressil [OPTIONS]");
    QTest::newRow("short help after an argument") << QStringList {"x", "-h"} << QByteArray("Usage: tressil [OPTIONS]");
    QTest::newRow("version") << QStringList {"--version"} << QByteArray("tressil " TRESSIL_VERSION "\n");
}

void TestCommandLineE2E::helpAndVersionNeedNoDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, start);
    TressilRunner runner;
    addDecoy(runner);
    const TressilRun run = runner.run(arguments, 30000, QString(), withoutDisplay());
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(start), run.out.constData());
    QCOMPARE(run.err, QByteArray());
}

void TestCommandLineE2E::inspectOptionStartsNormally_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("environmentValue");
    QTest::newRow("option") << QStringList {"--inspect"} << QByteArray();
    QTest::newRow("environment variable") << QStringList() << QByteArray("1");
}

void TestCommandLineE2E::inspectOptionStartsNormally()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, environmentValue);
    TressilRunner runner;
    runner.writeApplication("function main(args) { app.win.show(); ovex.println(args.length); "
                            "setTimeout(function () { ovex.exit(4); }, 200); }");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environmentValue.isEmpty())
        environment.insert("TRESSIL_INSPECT", environmentValue);
    const TressilRun run = runner.run(arguments, 30000, QString(), environment);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(run.lines(), QStringList {"1"});
}

void TestCommandLineE2E::startWithoutRuntimeFolderPrintsNothing()
{
    TressilRunner runner;
    runner.writeApplication("function main(args) { ovex.println('ran'); ovex.exit(0); }");
    QTemporaryDir tmp;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("TMPDIR", tmp.path());
    const TressilRun run = runner.run({}, 30000, QString(), environment);
    QVERIFY(run.finished);
    QCOMPARE(run.lines(), QStringList {"ran"});
    QCOMPARE(run.err, QByteArray());
}

void TestCommandLineE2E::missingDisplayIsStillReported()
{
    TressilRunner runner;
    addDecoy(runner);
    const TressilRun run = runner.run({}, 30000, QString(), withoutDisplay());
    QVERIFY(run.finished);
    QVERIFY(run.crashed || run.exitCode != 0);
    QVERIFY2(run.err.contains("could not connect to display"), run.err.constData());
}

void TestCommandLineE2E::noDisplayAndNoPlatformSaysHowToRunHeadless_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("no platform: one line instead of Qt's abort")
            << QStringList() << 1
            << QByteArray("tressil: no display (DISPLAY and WAYLAND_DISPLAY are unset); to run without one, set "
                          "QT_QPA_PLATFORM=offscreen or use xvfb-run -a tressil\n");
    QTest::newRow("Qt's -platform option chooses one") << QStringList {"-platform", "offscreen"} << 0 << QByteArray();
}

void TestCommandLineE2E::noDisplayAndNoPlatformSaysHowToRunHeadless()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    TressilRunner runner;
    runner.writeApplication("function main(args) { ovex.exit(0); }");
    QProcessEnvironment environment = withoutDisplay();
    environment.remove("QT_QPA_PLATFORM");
    const TressilRun run = runner.run(arguments, 30000, QString(), environment);
    QVERIFY(run.finished);
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err, err);
}

QTEST_GUILESS_MAIN(TestCommandLineE2E)
#include "tst_commandline_e2e.moc"
