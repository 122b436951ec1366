// End-to-end: the window scripting object as page script reaches it through `WIN`, in the
// real tressil program (offscreen, so window frames have no margins).
#include "tressilrunner.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QtTest>

class TestWindowsE2E : public QObject
{
    Q_OBJECT

private:
    // Runs `body` as the inside of a function in main and returns the JSON its result
    // prints, or a note saying how the run failed.
    static QJsonDocument evaluate(const QByteArray &body)
    {
        TressilRunner runner;
        runner.writeApplication("function main(args) { var out = (function () {" + body
                                + "})(); ovex.println(JSON.stringify(out)); ovex.exit(0); }");
        const TressilRun run = runner.run();
        if (!run.finished || run.exitCode != 0 || run.lines().size() != 1) {
            const QJsonArray output = QJsonArray::fromStringList(run.lines() << QString::fromUtf8(run.err));
            return QJsonDocument(QJsonObject {{QStringLiteral("failed run"), output}});
        }
        return QJsonDocument::fromJson(run.lines().first().toUtf8());
    }

    static QJsonDocument json(const QByteArray &text) { return QJsonDocument::fromJson(text); }

    static QSize screenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

private Q_SLOTS:
    void windowStateSlotsShowTheExpectedState_data();
    void windowStateSlotsShowTheExpectedState();
    void applyingWindowFlagsShowsAHiddenWindow_data();
    void applyingWindowFlagsShowsAHiddenWindow();
    void sizeSlotsWorkOnTheClientArea_data();
    void sizeSlotsWorkOnTheClientArea();
    void centeringOnTheScreen_data();
    void centeringOnTheScreen();
    void centeringByParent_data();
    void centeringByParent();
    void jsRunsInThatWindowsOwnFrame();
    void everyMenuSlotIsReachableWithItsDefaults();
    void cookieSlotsKeepRecords_data();
    void cookieSlotsKeepRecords();
    void cookieJarsArePerWindow();
};

void TestWindowsE2E::windowStateSlotsShowTheExpectedState_data()
{
    QTest::addColumn<QByteArray>("calls");
    QTest::addColumn<QByteArray>("expected"); // [isHidden, isMaximized, isMinimized]
    QTest::newRow("setMinimized(false) on a never-minimized hidden window shows it normal")
            << QByteArray("app.win.setMinimized(false);") << QByteArray("[false, false, false]");
    QTest::newRow("restoring a window minimized from maximized shows it maximized")
            << QByteArray("app.win.setMaximized(); app.win.setMinimized(); app.win.setMinimized(false);")
            << QByteArray("[false, true, false]");
    QTest::newRow("restoring a window minimized from normal shows it normal")
            << QByteArray("app.win.show(); app.win.setMinimized(true); app.win.setMinimized(false);")
            << QByteArray("[false, false, false]");
    QTest::newRow("setMinimized without argument minimizes")
            << QByteArray("app.win.show(); app.win.setMinimized();") << QByteArray("[false, false, true]");
    QTest::newRow("setMaximized(false) shows normal")
            << QByteArray("app.win.setMaximized(true); app.win.setMaximized(false);")
            << QByteArray("[false, false, false]");
    QTest::newRow("close only hides the window")
            << QByteArray("app.win.show(); app.win.close();") << QByteArray("[true, false, false]");
    QTest::newRow("terminate acts as close")
            << QByteArray("app.win.show(); app.win.terminate();") << QByteArray("[true, false, false]");
}

void TestWindowsE2E::windowStateSlotsShowTheExpectedState()
{
    QFETCH(QByteArray, calls);
    QFETCH(QByteArray, expected);
    QCOMPARE(evaluate(calls + "return [app.win.isHidden(), app.win.isMaximized(), app.win.isMinimized()];"),
             json(expected));
}

void TestWindowsE2E::applyingWindowFlagsShowsAHiddenWindow_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::newRow("setFrameless(true)") << QByteArray("app.win.setFrameless(true);");
    QTest::newRow("setFrameless without argument") << QByteArray("app.win.setFrameless();");
    QTest::newRow("setFrameless(false)") << QByteArray("app.win.setFrameless(false);");
    QTest::newRow("setAlwaysOnTop") << QByteArray("app.win.setAlwaysOnTop();");
    QTest::newRow("setShowCaption") << QByteArray("app.win.setShowCaption(false);");
    QTest::newRow("setTypeWindow") << QByteArray("app.win.setTypeWindow();");
    QTest::newRow("setTypeDialog") << QByteArray("app.win.setTypeDialog();");
    QTest::newRow("setTypeTool") << QByteArray("app.win.setTypeTool();");
    QTest::newRow("setTypeSplashScreen") << QByteArray("app.win.setTypeSplashScreen();");
}

void TestWindowsE2E::applyingWindowFlagsShowsAHiddenWindow()
{
    QFETCH(QByteArray, call);
    QCOMPARE(evaluate("var before = app.win.isHidden();" + call + "return [before, app.win.isHidden()];"),
             json("[true, false]"));
}

void TestWindowsE2E::sizeSlotsWorkOnTheClientArea_data()
{
    QTest::addColumn<QByteArray>("calls");
    QTest::addColumn<QByteArray>("expected"); // [getSize(), getWidth(), getHeight()]
    QTest::newRow("getSize after setSize(800, 600) is [800, 600]")
            << QByteArray("app.win.setSize(800, 600);") << QByteArray("[[800, 600], 800, 600]");
    QTest::newRow("setWidth keeps the height")
            << QByteArray("app.win.setSize(300, 200); app.win.setWidth(410);") << QByteArray("[[410, 200], 410, 200]");
    QTest::newRow("setHeight keeps the width")
            << QByteArray("app.win.setSize(300, 200); app.win.setHeight(90);") << QByteArray("[[300, 90], 300, 90]");
    QTest::newRow("a menu bar stays inside the client area")
            << QByteArray("app.win.addMenu('file', 'File'); app.win.show(); app.win.setSize(640, 480);")
            << QByteArray("[[640, 480], 640, 480]");
}

void TestWindowsE2E::sizeSlotsWorkOnTheClientArea()
{
    QFETCH(QByteArray, calls);
    QFETCH(QByteArray, expected);
    QCOMPARE(evaluate(calls + "return [app.win.getSize(), app.win.getWidth(), app.win.getHeight()];"), json(expected));
}

void TestWindowsE2E::centeringOnTheScreen_data()
{
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<bool>("centresX");
    QTest::addColumn<bool>("centresY");
    QTest::newRow("vertical centering keeps x") << QByteArray("true, false") << false << true;
    QTest::newRow("horizontal centering keeps y") << QByteArray("false, true") << true << false;
    QTest::newRow("no direction leaves the window where it is") << QByteArray("false, false") << false << false;
    QTest::newRow("defaults centre both ways") << QByteArray("") << true << true;
    QTest::newRow("by parent without a parent uses the screen") << QByteArray("true, true, true") << true << true;
}

void TestWindowsE2E::centeringOnTheScreen()
{
    QFETCH(QByteArray, arguments);
    QFETCH(bool, centresX);
    QFETCH(bool, centresY);
    // Positions are read with the frame, centering places the client area; the frame's
    // offset is measured from setPosition so the test holds with and without frames.
    const QJsonArray positions = evaluate("app.win.show(); app.win.setSize(300, 201); app.win.setPosition(17, 23);"
                                          "var before = app.win.getPosition(); app.win.centerPosition("
                                          + arguments + "); return [before, app.win.getPosition()];")
                                         .array();
    const QJsonArray before = positions.at(0).toArray();
    const QJsonArray after = positions.at(1).toArray();
    const QSize screen = screenSize();
    const int x = centresX ? (screen.width() - 300) / 2 + before.at(0).toInt() - 17 : before.at(0).toInt();
    const int y = centresY ? (screen.height() - 201) / 2 + before.at(1).toInt() - 23 : before.at(1).toInt();
    QCOMPARE(after, (QJsonArray {x, y}));
}

void TestWindowsE2E::centeringByParent_data()
{
    QTest::addColumn<QByteArray>("parentGeometry"); // x, y, width, height
    QTest::addColumn<QByteArray>("childSize");
    QTest::addColumn<int>("shiftX"); // from the parent's frame corner to the child's client corner
    QTest::addColumn<int>("shiftY");
    QTest::newRow("child in the middle of its parent")
            << QByteArray("100, 50, 400, 300") << QByteArray("200, 100") << 100 << 100;
    QTest::newRow("odd difference truncates")
            << QByteArray("100, 50, 401, 301") << QByteArray("200, 100") << 100 << 100;
    QTest::newRow("child wider than its parent truncates toward zero")
            << QByteArray("100, 50, 401, 300") << QByteArray("602, 100") << -100 << 100;
}

void TestWindowsE2E::centeringByParent()
{
    QFETCH(QByteArray, parentGeometry);
    QFETCH(QByteArray, childSize);
    QFETCH(int, shiftX);
    QFETCH(int, shiftY);
    // The child's frame offset is measured by placing its client area at (0, 0).
    const QJsonArray positions = evaluate("var g = [" + parentGeometry
                                          + "]; app.win.show(); app.win.setPosition(g[0], g[1]);"
                                            "app.win.setSize(g[2], g[3]); var child = app.win.createWindow("
                                          + childSize
                                          + ");"
                                            "child.setPosition(0, 0); var offset = child.getPosition();"
                                            "child.centerPosition(true, true, true);"
                                            "return [app.win.getPosition(), offset, child.getPosition()];")
                                         .array();
    const QJsonArray parent = positions.at(0).toArray();
    const QJsonArray offset = positions.at(1).toArray();
    const int x = parent.at(0).toInt() + shiftX + offset.at(0).toInt();
    const int y = parent.at(1).toInt() + shiftY + offset.at(1).toInt();
    QCOMPARE(positions.at(2).toArray(), (QJsonArray {x, y}));
}

void TestWindowsE2E::jsRunsInThatWindowsOwnFrame()
{
    QCOMPARE(evaluate("var child = app.win.createWindow(100, 100);"
                      "child.js(\"window.marker = 'child'\"); app.win.js(\"window.marker = 'main'\");"
                      "return [window.marker, child.w.marker];"),
             json("[\"main\", \"child\"]"));
}

void TestWindowsE2E::everyMenuSlotIsReachableWithItsDefaults()
{
    // A slot missing from the object, or declared with other parameters, throws in script.
    QCOMPARE(evaluate("var w = app.win;"
                      "w.addMenu('file', 'File'); w.switchMenu('file');"
                      "w.addMenuAction('open', 'Open'); w.addMenuAction('quit', 'Quit', 'ovex.exit(3)', '', 'Ctrl+Q');"
                      "w.addMenuSeparator('sep'); w.addMenu('recent', 'Recent', '');"
                      "w.disableMenuAction('open'); w.enableMenuAction('open');"
                      "w.hideMenuAction('sep'); w.showMenuAction('sep'); w.removeMenuAction('quit');"
                      "w.disableMenu(); w.enableMenu(); w.switchMenu(); w.clearMenu();"
                      "return ['built'];"),
             json("[\"built\"]"));
}

void TestWindowsE2E::cookieSlotsKeepRecords_data()
{
    QTest::addColumn<QByteArray>("calls");
    QTest::addColumn<QByteArray>("expected"); // what the calls return, else getAllCookies()
    QTest::newRow("a window without cookies has an empty jar") << QByteArray("") << QByteArray("[]");
    QTest::newRow("a full record reads back as written")
            << QByteArray("app.win.setAllCookies([{domain: 'example.com', expiration: '1700000000', http_only: '1',"
                          " secure: '1', name: 'sid', path: '/app', value64: 'YWJj'}]);")
            << QByteArray("[{\"domain\": \"example.com\", \"expiration\": \"1700000000\", \"http_only\": \"1\","
                          " \"secure\": \"1\", \"session\": \"0\", \"name\": \"sid\", \"path\": \"/app\","
                          " \"value64\": \"YWJj\"}]");
    QTest::newRow("cookies keep the order of the list")
            << QByteArray("app.win.setAllCookies([{name: 'b'}, {name: 'a'}]);"
                          "return app.win.getAllCookies().map(function (c) { return c.name; });")
            << QByteArray("[\"b\", \"a\"]");
    QTest::newRow("value64 wins over value")
            << QByteArray("app.win.setAllCookies([{name: 'n', value: 'plain', value64: 'd2lu'}]);"
                          "return [app.win.getAllCookies()[0].value64];")
            << QByteArray("[\"d2lu\"]");
    QTest::newRow("value alone is taken as Latin-1 text") << QByteArray(
            "app.win.setAllCookies([{name: 'n', value: 'abc'}]); return [app.win.getAllCookies()[0].value64];")
                                                          << QByteArray("[\"YWJj\"]");
    QTest::newRow("http_only given as true is false")
            << QByteArray("app.win.setAllCookies([{name: 'n', http_only: 'true', secure: 'true'}]);"
                          "var c = app.win.getAllCookies()[0]; return [c.http_only, c.secure];")
            << QByteArray("[\"0\", \"0\"]");
    QTest::newRow("a record without expiration is a session cookie")
            << QByteArray("app.win.setAllCookies([{name: 'n'}]); var c = app.win.getAllCookies()[0];"
                          "return [c.session, c.expiration];")
            << QByteArray("[\"1\", \"4294967295\"]");
    QTest::newRow("a session cookie written back persists until 2106")
            << QByteArray("app.win.setAllCookies([{name: 'n'}]); app.win.setAllCookies(app.win.getAllCookies());"
                          "var c = app.win.getAllCookies()[0]; return [c.session, c.expiration];")
            << QByteArray("[\"0\", \"4294967295\"]");
    QTest::newRow("an empty list empties the jar")
            << QByteArray("app.win.setAllCookies([{name: 'n'}]); app.win.setAllCookies([]);") << QByteArray("[]");
    QTest::newRow("a text instead of a list empties the jar")
            << QByteArray("app.win.setAllCookies([{name: 'n'}]); app.win.setAllCookies('n=v');") << QByteArray("[]");
    QTest::newRow("an object instead of a list empties the jar")
            << QByteArray("app.win.setAllCookies([{name: 'n'}]); app.win.setAllCookies({name: 'n'});")
            << QByteArray("[]");
    QTest::newRow("null empties the jar")
            << QByteArray("app.win.setAllCookies([{name: 'n'}]); app.win.setAllCookies(null);") << QByteArray("[]");
}

void TestWindowsE2E::cookieSlotsKeepRecords()
{
    QFETCH(QByteArray, calls);
    QFETCH(QByteArray, expected);
    QCOMPARE(evaluate(calls + "return app.win.getAllCookies();"), json(expected));
}

void TestWindowsE2E::cookieJarsArePerWindow()
{
    QCOMPARE(evaluate("app.win.setAllCookies([{name: 'main'}]);"
                      "var child = app.win.createWindow(100, 100); var before = child.getAllCookies().length;"
                      "child.setAllCookies([{name: 'child'}]);"
                      "return [before, app.win.getAllCookies()[0].name, child.getAllCookies()[0].name];"),
             json("[0, \"main\", \"child\"]"));
}

QTEST_MAIN(TestWindowsE2E)
#include "tst_windows_e2e.moc"
