// End-to-end: the real tressil program with an application in an "app" folder beside it.
#include "tressilrunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

class TestTressil : public QObject
{
    Q_OBJECT

private:
    // Runs `script` as the application and returns what it printed.
    static TressilRun runApplication(const QByteArray &script, const QStringList &arguments = {})
    {
        TressilRunner runner;
        runner.writeApplication(script);
        return runner.run(arguments);
    }

private Q_SLOTS:
    void mainReceivesEveryArgumentUnchanged_data();
    void mainReceivesEveryArgumentUnchanged();
    void startWithoutMainEndsProcess_data();
    void startWithoutMainEndsProcess();
    void mainThatShowsItsWindowKeepsRunning();
    void appWinWrapsTheMainWindow();
    void windowOpenYieldsChildWindowObject();
    void drcDataLoadsWithStatusAndCacheHeaders();
    void drcMissingKeyGives404WithEmptyBody();
    void drcKeysKeepTheirLeadingSlash();
    void appSchemeServesOnlyInsideTheAppFolder_data();
    void appSchemeServesOnlyInsideTheAppFolder();
    void printThenPrintlnGiveBothTextsAndOneLineFeed();
    void exitEndsProcessWithItsCode();
    void appLinksAreNotFollowed();
    void scriptObjectsSurviveNavigation();
};

void TestTressil::mainReceivesEveryArgumentUnchanged_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("windows path with a space and a plain word") << QStringList {"C:\\a b", "x"};
    QTest::newRow("quotes of both kinds") << QStringList {"it's", "say \"hi\""};
    QTest::newRow("line breaks and tabs") << QStringList {"one\ntwo", "a\r\nb\tc"};
    QTest::newRow("unicode line terminators") << QStringList {QString::fromUtf8("a\u2028b\u2029c")};
    QTest::newRow("non-ASCII text") << QStringList {QString::fromUtf8("ünïcödé ✓ 日本")};
    QTest::newRow("crafted argument stays data") << QStringList {"'); ovex.exit(9); //", "\\'); ovex.exit(8); //"};
    QTest::newRow("empty argument") << QStringList {QString()};
}

void TestTressil::mainReceivesEveryArgumentUnchanged()
{
    QFETCH(QStringList, arguments);
    TressilRunner runner;
    runner.writeApplication("function main(args) { ovex.println(JSON.stringify(args)); ovex.exit(0); }");
    const TressilRun run = runner.run(arguments);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines().size(), 1);
    const QJsonArray received = QJsonDocument::fromJson(run.lines().first().toUtf8()).array();
    QCOMPARE(received.size(), arguments.size() + 1);
    QCOMPARE(received.at(0).toString(), runner.programPath());
    for (int i = 0; i < arguments.size(); ++i)
        QCOMPARE(received.at(i + 1).toString(), arguments.at(i));
}

void TestTressil::startWithoutMainEndsProcess_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("no main at all") << QByteArray("var notMain = 1;");
    QTest::newRow("main throws before showing the window")
            << QByteArray("function main(args) { ovex.println('started'); throw new Error('boom'); }");
    QTest::newRow("main returns with the window hidden") << QByteArray("function main(args) {}");
}

void TestTressil::startWithoutMainEndsProcess()
{
    QFETCH(QByteArray, script);
    const TressilRun run = runApplication(script);
    QVERIFY2(run.finished, "a start whose window stays hidden must end the process");
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 0);
}

void TestTressil::mainThatShowsItsWindowKeepsRunning()
{
    const TressilRun run
            = runApplication("function main(args) { app.win.show();"
                             " setTimeout(function () { ovex.println('still running'); ovex.exit(5); }, 300); }");
    QVERIFY(run.finished);
    QCOMPARE(run.lines(), QStringList {"still running"});
    QCOMPARE(run.exitCode, 5);
}

void TestTressil::appWinWrapsTheMainWindow()
{
    const TressilRun run = runApplication(
            "function main(args) {"
            " ovex.println(app.win.isHidden());"
            " app.win.setTitle('Studio'); app.win.setSize(640, 480); app.win.show();"
            " ovex.println(app.win.getTitle() + ' ' + app.win.isHidden() + ' ' + JSON.stringify(app.win.getSize()));"
            " ovex.println(app.win.w === window);"
            " ovex.exit(0); }");
    QCOMPARE(run.lines(), (QStringList {"true", "Studio false [640,480]", "true"}));
}

void TestTressil::windowOpenYieldsChildWindowObject()
{
    const TressilRun run
            = runApplication("function main(args) { app.win.show();"
                             " ovex.println(_OVEX.last_created_win === null);"
                             " var child = window.open('');"
                             " var xwin = _OVEX.last_created_win;"
                             " ovex.println(xwin !== null && typeof xwin.setTitle === 'function');"
                             " ovex.println(xwin.isHidden());"
                             " var second = window.open(''); ovex.println(_OVEX.last_created_win !== xwin);"
                             " ovex.exit(0); }");
    QCOMPARE(run.lines(), (QStringList {"true", "true", "false", "true"}));
}

void TestTressil::drcDataLoadsWithStatusAndCacheHeaders()
{
    const TressilRun run = runApplication(
            "function get(url) { var x = new XMLHttpRequest(); x.open('GET', url, false); x.send(); return x; }"
            "function main(args) {"
            " ovex.setDRCData('result', 'first');"
            " var x = get('drc:result');"
            " ovex.println(x.status + ' ' + x.statusText + ' ' + x.responseText);"
            " ovex.println(x.getResponseHeader('Cache-Control') + ' ' + x.getResponseHeader('Expires'));"
            " ovex.println(/^[0-9]+$/.test(x.getResponseHeader('ETag')));"
            " ovex.setDRCData('result', 'second');"
            " ovex.println(get('drc:result').responseText);"
            " ovex.exit(0); }");
    QCOMPARE(run.lines(), (QStringList {"200 OK first", "must-revalidate 0", "true", "second"}));
}

void TestTressil::drcMissingKeyGives404WithEmptyBody()
{
    const TressilRun run
            = runApplication("function main(args) {"
                             " var x = new XMLHttpRequest(); x.open('GET', 'drc:nothing', false); x.send();"
                             " ovex.println(x.status + ' ' + x.statusText + ' [' + x.responseText + ']');"
                             " ovex.exit(0); }");
    QCOMPARE(run.lines(), QStringList {"404 Not Found []"});
}

void TestTressil::drcKeysKeepTheirLeadingSlash()
{
    const TressilRun run = runApplication(
            "function get(url) { var x = new XMLHttpRequest(); x.open('GET', url, false); x.send(); return x.status + "
            "':' + x.responseText; }"
            "function main(args) {"
            " ovex.setDRCData('/slashed', 'S'); ovex.setDRCData('plain', 'P');"
            " ovex.println([get('drc:/slashed'), get('drc:slashed'), get('drc:plain'), get('drc:/plain')].join(' '));"
            " ovex.exit(0); }");
    QCOMPARE(run.lines(), QStringList {"200:S 404: 200:P 404:"});
}

void TestTressil::appSchemeServesOnlyInsideTheAppFolder_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file in the app folder") << "app:/data/note.txt"
                                            << "200:inside";
    QTest::newRow("xrc reads the same file") << "xrc:/data/note.txt"
                                             << "200:inside";
    QTest::newRow("triple slash form") << "xrc:///data/note.txt"
                                       << "200:inside";
    QTest::newRow("dot-dot reaching the executable's folder") << "app:/../secret.txt"
                                                              << "404:";
    QTest::newRow("encoded dot-dot") << "app:/data/%2e%2e/%2e%2e/secret.txt"
                                     << "404:";
    QTest::newRow("dot-dot through xrc") << "xrc:/data/../../secret.txt"
                                         << "404:";
    QTest::newRow("missing file") << "app:/data/none.txt"
                                  << "404:";
}

void TestTressil::appSchemeServesOnlyInsideTheAppFolder()
{
    QFETCH(QString, url);
    QFETCH(QString, expected);
    TressilRunner runner;
    runner.writeAppFile("data/note.txt", "inside");
    QFile secret(runner.directory() + "/secret.txt");
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("outside");
    secret.close();
    runner.writeApplication("function main(args) { var x = new XMLHttpRequest(); x.open('GET', '" + url.toUtf8()
                            + "', false); x.send(); ovex.println(x.status + ':' + x.responseText); ovex.exit(0); }");
    QCOMPARE(runner.run().lines(), QStringList {expected});
}

void TestTressil::printThenPrintlnGiveBothTextsAndOneLineFeed()
{
    const TressilRun run = runApplication("function main(args) { ovex.print('one'); ovex.println('two'); "
                                          "app.print('é'); app.println(''); ovex.exit(0); }");
    QCOMPARE(run.out, QByteArray("onetwo\n\xc3\xa9\n"));
}

void TestTressil::exitEndsProcessWithItsCode()
{
    const TressilRun run
            = runApplication("function main(args) { app.win.show(); app.exit(3); ovex.println('after'); }");
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.lines(), QStringList {"after"});
}

void TestTressil::appLinksAreNotFollowed()
{
    const TressilRun run = runApplication("function main(args) { app.win.show();"
                                          " document.body.innerHTML = '<a id=\"l\" href=\"app://alert/x?y=1\">x</a><a "
                                          "id=\"m\" href=\"xrc:/other.html\">y</a>';"
                                          " window.marker = 'kept';"
                                          " document.getElementById('l').click();"
                                          " setTimeout(function () { ovex.println(window.marker + ' ' + "
                                          "window.location.href); ovex.exit(0); }, 300); }");
    QCOMPARE(run.lines(), QStringList {"kept xrc:/"});
}

void TestTressil::scriptObjectsSurviveNavigation()
{
    TressilRunner runner;
    runner.writeApplication("function main(args) { app.win.show(); window.location = 'xrc:/second.html'; }");
    runner.writeAppFile("second.html",
                        "<html><head><script>window.onload = function () {"
                        " ovex.println(location.href + ' ' + typeof ovex.md5hex); ovex.exit(0); };"
                        "</script></head><body></body></html>");
    QCOMPARE(runner.run().lines(), QStringList {"xrc:/second.html function"});
}

QTEST_GUILESS_MAIN(TestTressil)
#include "tst_tressil.moc"
