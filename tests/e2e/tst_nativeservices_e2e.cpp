// End-to-end: the glue library's fs, db, reg and exec wrappers in the real tressil program.
#include "loopbackserver.h"
#include "tressilrunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A page that reports to the loopback server what native objects it can reach: `ovex`,
// window objects, the host's start script, and the window object the host announces for
// a window the page opens.
QByteArray probePage(quint16 port)
{
    return QByteArray(R"html(<html><body><script>
        var _OVEX = {};
        window.open('');
        var windowObjects = Object.getOwnPropertyNames(window).filter(function (k) {
            return k.indexOf('winobj') === 0; });
        var report = [typeof window.ovex, windowObjects.length > 0, typeof window.onload,
                      typeof _OVEX.last_created_win];
        new Image().src = 'http://127.0.0.1:PORT/report?' + encodeURIComponent(JSON.stringify(report));
        </script></body></html>)html")
            .replace("PORT", QByteArray::number(port));
}

} // namespace

class TestNativeServicesE2E : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir configHome;
    QTemporaryDir work;

    // Runs `script` with the work folder as its one argument; returns the JSON array the script
    // printed as its last line.
    QJsonArray runForJson(const QByteArray &script, TressilRunner *runner = nullptr)
    {
        TressilRunner own;
        TressilRunner &used = runner ? *runner : own;
        used.writeApplication(script);
        const TressilRun run = used.run({work.path()});
        if (!run.finished || run.exitCode != 0 || run.lines().isEmpty()) {
            qWarning("run failed: %s %s", run.out.constData(), run.err.constData());
            return QJsonArray {"<failed run>"};
        }
        const QJsonDocument printed = QJsonDocument::fromJson(run.lines().last().toUtf8());
        return printed.isArray() ? printed.array() : QJsonArray {"<not an array>", run.lines().last()};
    }

    // The expected array; a typo in the expectation must not compare equal to a failed run.
    static QJsonArray parse(const char *json)
    {
        QJsonParseError error;
        const QJsonArray array = QJsonDocument::fromJson(json, &error).array();
        if (error.error != QJsonParseError::NoError || array.isEmpty())
            return QJsonArray {"<bad expectation>", error.errorString()};
        return array;
    }

private Q_SLOTS:
    void initTestCase();
    void fsWrappersReachTheFileSlots();
    void tempFilesAreGoneWhenTheProgramEnds();
    void dbWrappersRouteInsertsByTheirFirstSevenCharacters();
    void regWrappersKeepKeysInTheUserStore();
    void execWrappersDeliverOutputAsText();
    void settingsLiveInConfigIniBesideTheProgram();
    void downloadAcceptsItsArgumentsAndDoesNothing();
    void onlyTheApplicationsOwnPagesGetNativeObjects_data();
    void onlyTheApplicationsOwnPagesGetNativeObjects();
};

void TestNativeServicesE2E::initTestCase()
{
    QVERIFY(configHome.isValid() && work.isValid());
    // The programs started here keep their key-value store in this folder, not the user's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
}

void TestNativeServicesE2E::fsWrappersReachTheFileSlots()
{
    const QJsonArray out = runForJson(R"js(function main(args) {
        var d = args[1] + '/fs', out = [];
        ovex.mkdir(d, false);
        app.fs.filePutContents(d + '/a.txt', 'one\ntwo');
        app.fs.fileAppend(d + '/a.txt', '\nthree');
        out.push(app.fs.fileGetContents(d + '/a.txt'), app.fs.fileSize(d + '/a.txt'));
        out.push(app.fs.isFile(d + '/a.txt'), app.fs.isDir(d), app.fs.fileExists(d + '/none'), app.fs.dirExists(''));
        out.push(app.fs.mkdir(d + '/x/y'), app.fs.mkdir(d + '/p/q', false));
        var w = app.fs.fopen(d + '/h.txt', 'w');
        app.fs.fwriteln(w, 'line'); app.fs.fwrite(w, 'tail'); app.fs.fclose(w);
        var r = app.fs.fopen(d + '/h.txt', 'r');
        out.push(w, r, app.fs.fopen(d + '/h.txt', 'rw'), app.fs.fgets(r, 0), app.fs.fread(r, 100));
        app.fs.fclose(r);
        out.push(app.fs.fread(r, 1));
        out.push(app.fs.copy(d + '/a.txt', d + '/x/b.txt'), app.fs.rename(d + '/x/b.txt', d + '/x/c.txt'));
        out.push(app.fs.copyDir(d + '/x', d + '/z'), app.fs.dirContent(d + '/z'));
        out.push(app.fs.copyDir(d + '/x', d + '/x/inner'), app.fs.rmdir(''));
        out.push(app.fs.mkfile(d + '/e.txt'), app.fs.unlink(d + '/h.txt'), app.fs.unlink(d + '/h.txt'));
        out.push(app.fs.rmdir(d + '/x'), app.fs.isDir(d + '/x'), app.fs.rmdir(d + '/x'));
        out.push(app.fs.filectime(d + '/none'), app.fs.fileatime(d + '/none'));
        out.push(app.fs.getDirCurrent() === ovex.getDirCurrent(), app.fs.getDirTemp().length > 0);
        ovex.println(JSON.stringify(out)); ovex.exit(0); })js");
    QCOMPARE(out, parse(R"(["one\ntwo\nthree", 13, true, true, false, true, true, false, 1, 2, 0, "line\n", "tail", "",
        true, true, true, {"dirs": ["y"], "files": ["c.txt"]}, false, false, true, true, false, true, false, true,
        -1, -1, true, true])"));
}

void TestNativeServicesE2E::tempFilesAreGoneWhenTheProgramEnds()
{
    const QJsonArray out = runForJson(R"js(function main(args) {
        app.setAppName('Studio');
        var named = app.fs.tempFile(), suffixed = app.fs.tempFile('.e2e');
        ovex.println(JSON.stringify([named, suffixed, app.fs.isFile(named), app.fs.isFile(suffixed)]));
        ovex.exit(0); })js");
    QCOMPARE(out.size(), 4);
    const QString named = out.at(0).toString();
    const QString suffixed = out.at(1).toString();
    QVERIFY2(QRegularExpression("/Studio\\.[A-Za-z0-9]{6}$").match(named).hasMatch(), qPrintable(named));
    QVERIFY2(QRegularExpression("/tmp\\.[A-Za-z0-9]{6}\\.ovex\\.e2e$").match(suffixed).hasMatch(),
             qPrintable(suffixed));
    QVERIFY(out.at(2).toBool() && out.at(3).toBool());
    QVERIFY(!QFile::exists(named));
    QVERIFY(!QFile::exists(suffixed));
}

void TestNativeServicesE2E::dbWrappersRouteInsertsByTheirFirstSevenCharacters()
{
    const QJsonArray out = runForJson(R"js(function main(args) {
        var out = [], db = app.db.connectSQLITE(args[1] + '/e2e.db', 'e2e');
        db.query('CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)');
        out.push(db.query("INSERT INTO t (v) VALUES ('a')"), db.query("insert INTO t (v) VALUES ('b')"));
        out.push(db.query("InSeRt INTO t (v) VALUES ('c')"), db.insert("INSERT INTO t (v) VALUES ('d')"));
        out.push(db.query('insert'), db.query("INSERT\nINTO t (v) VALUES ('e')"));
        out.push(db.query('SELECT id, v FROM t ORDER BY id'), db.query('SELECT 1 AS a, 2 AS a'));
        out.push(app.db.connectSQLITE(args[1] + '/other.db').id.length);
        db.close();
        out.push(db.query('SELECT 1 AS a'), ovex.dbInsert("INSERT INTO t (v) VALUES ('x')", 'e2e'));
        ovex.println(JSON.stringify(out)); ovex.exit(0); })js");
    QCOMPARE(out, parse(R"([1, 2, 3, 4, [], [],
        [{"id": 1, "v": "a"}, {"id": 2, "v": "b"}, {"id": 3, "v": "c"}, {"id": 4, "v": "d"}, {"id": 5, "v": "e"}],
        [{"a": 2}], 16, [], 0])"));
}

void TestNativeServicesE2E::regWrappersKeepKeysInTheUserStore()
{
    const QJsonArray out = runForJson(R"js(function main(args) {
        var p = 'HKEY_CURRENT_USER/Software/Tressil Test', out = [];
        app.reg.setValue('/' + p + '/', 'a', 'x');
        app.reg.setValue('HKEY_CURRENT_USER\\Software\\Tressil Test', 'b/c', 'y');
        out.push(app.reg.getValue(p, 'a'), app.reg.getValue(p, 'missing'), app.reg.getValue(p, 'missing', 'dflt'));
        out.push(app.reg.isSet(p, 'b/c'), app.reg.isSet(p, 'b/d'));
        out.push(app.reg.allValues(p), app.reg.allKeys(p), app.reg.allGroups(p));
        app.reg.remove(p, 'b');
        out.push(app.reg.allValues(p));
        app.reg.setValue('../escape', 'k', 'v');
        out.push(app.reg.isSet('../escape', 'k'), app.reg.getValue('../escape', 'k', 'refused'));
        ovex.println(JSON.stringify(out)); ovex.exit(0); })js");
    QCOMPARE(out, parse(R"(["x", "", "dflt", true, false, ["a", "b/c"], ["a"], ["b"], ["a"], false, "refused"])"));
    const QString store = configHome.filePath("Tressil/keystore/HKEY_CURRENT_USER/Software/Tressil Test.ini");
    QCOMPARE(QSettings(store, QSettings::IniFormat).value("a").toString(), QStringLiteral("x"));
    QVERIFY(!QFile::exists(configHome.filePath("Tressil/escape.ini")));
}

void TestNativeServicesE2E::execWrappersDeliverOutputAsText()
{
    QFile printed(work.filePath("printed.txt"));
    QVERIFY(printed.open(QIODevice::WriteOnly));
    printed.write("it's\r\n\\'); ovex.println('pwned'); //\xe2\x80\xa8"
                  "end");
    printed.close();
    const QJsonArray out = runForJson(R"js(function main(args) {
        app.win.show();
        var got = '', first = app.exec('true');
        var id = app.exec('cat "' + args[1] + '/printed.txt"',
            function (rest) { got += rest; ovex.println(JSON.stringify([first, id, got])); ovex.exit(0); },
            function (part) { got += part; });
        })js");
    QCOMPARE(out, (QJsonArray {0, 1, QString::fromUtf8("it's \n\\'); ovex.println('pwned'); //\u2028end")}));
}

void TestNativeServicesE2E::settingsLiveInConfigIniBesideTheProgram()
{
    TressilRunner runner;
    const QJsonArray out = runForJson(R"js(function main(args) {
        app.setSettings('group/key', 'value');
        ovex.println(JSON.stringify([app.getSettings('group/key'), app.getSettings('none'),
                                     app.getSettings('none', 'fallback')]));
        ovex.exit(0); })js",
                                      &runner);
    QCOMPARE(out, (QJsonArray {"value", "", "fallback"}));
    QSettings written(runner.directory() + "/config.ini", QSettings::IniFormat);
    QCOMPARE(written.value("group/key").toString(), QStringLiteral("value"));
}

void TestNativeServicesE2E::downloadAcceptsItsArgumentsAndDoesNothing()
{
    const QJsonArray out = runForJson(R"js(function main(args) {
        app.win.show();
        var target = args[1] + '/downloaded.bin', called = false;
        var result = app.fs.download('http://127.0.0.1:9/file', target,
                                     function () { called = true; }, function () { called = true; });
        setTimeout(function () {
            ovex.println(JSON.stringify([result === undefined, called, app.fs.isFile(target)]));
            ovex.exit(0); }, 300); })js");
    QCOMPARE(out, (QJsonArray {true, false, false}));
}

void TestNativeServicesE2E::onlyTheApplicationsOwnPagesGetNativeObjects_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("navigation");
    QTest::addColumn<QString>("expected");
    // The report: typeof ovex, any window object, typeof window.onload (the start script
    // sets it), typeof the window object announced for a window the page opens.
    const QString foreign = R"(["undefined",false,"object","undefined"])";
    QTest::newRow("page from a loopback http server reached by a link gets nothing")
            << "http://127.0.0.1:PORT/probe.html"
            << "link" << foreign;
    QTest::newRow("page from a loopback http server reached by script navigation gets nothing")
            << "http://127.0.0.1:PORT/probe.html"
            << "location" << foreign;
    QTest::newRow("file page reached by a link gets nothing") << "file://WORK/probe.html"
                                                              << "link" << foreign;
    QTest::newRow("application page reached by a link still gets the objects")
            << "xrc:/probe.html"
            << "link"
            << R"(["object",true,"function","object"])";
}

void TestNativeServicesE2E::onlyTheApplicationsOwnPagesGetNativeObjects()
{
    QFETCH(QString, target);
    QFETCH(QString, navigation);
    QFETCH(QString, expected);
    LoopbackServer server;
    QVERIFY(server.listen());
    server.addPage("/probe.html", probePage(server.port()));
    target.replace("PORT", QString::number(server.port())).replace("WORK", work.path());
    QFile probe(work.filePath("probe.html"));
    QVERIFY(probe.open(QIODevice::WriteOnly));
    probe.write(probePage(server.port()));
    probe.close();

    TressilRunner runner;
    runner.writeAppFile("probe.html", probePage(server.port()));
    runner.writeApplication(R"js(function main(args) {
        app.win.show();
        ovex.println('application page: ' + typeof ovex);
        if (args[2] === 'location') { window.location.href = args[1]; return; }
        var link = document.createElement('a');
        link.href = args[1];
        document.body.appendChild(link);
        link.click(); })js");
    // The program runs until the test ends it: nothing in a foreign page can.
    QProcess program;
    program.setWorkingDirectory(runner.directory());
    program.start(runner.programPath(), {target, navigation});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!server.reports.isEmpty(), 30000);
    program.kill();
    program.waitForFinished();
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), QStringLiteral("application page: object\n"));
    QCOMPARE(server.reports, QStringList {expected});
}

QTEST_GUILESS_MAIN(TestNativeServicesE2E)
#include "tst_nativeservices_e2e.moc"
