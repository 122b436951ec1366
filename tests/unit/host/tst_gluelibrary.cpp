// The glue library run against a recording stand-in for the host's scripting objects.
#include <QDateTime>
#include <QFile>
#include <QJSEngine>
#include <QtTest>

class TestGlueLibrary : public QObject
{
    Q_OBJECT

private:
    QJSEngine *engine = nullptr;

    QJSValue evaluate(const QString &script)
    {
        const QJSValue value = engine->evaluate(script);
        if (value.isError())
            qWarning("%s", qPrintable(value.toString()));
        return value;
    }

    // The last host call as JSON: [slot, arguments...].
    QString lastCall() { return evaluate("JSON.stringify(calls[calls.length - 1])").toString(); }

private Q_SLOTS:
    void init();
    void cleanup();
    void wrappersPassDefaultsForUndefinedArguments_data();
    void wrappersPassDefaultsForUndefinedArguments();
    void callCallbackIgnoresEmptyAndUnknownIds();
    void callCallbackCallsOnceWithNullThisAndForgets();
    void callCallbackDontRemoveKeepsTheCallback();
    void idsHaveSixteenCharactersAndDifferInTheirLastFive();
    void idCounterKeepsItsLastFiveHexDigits();
    void execRegistersOnlyTruthyCallbacks();
    void connectWithoutIdUsesAFreshId();
};

void TestGlueLibrary::init()
{
    engine = new QJSEngine;
    QFile library(QStringLiteral(OVEX_JS_PATH));
    QVERIFY(library.open(QIODevice::ReadOnly));
    // Every property of the stand-in is a function that records its call.
    evaluate("var calls = []; var results = {};"
             "var ovex = new Proxy({}, { get: function (target, name) { return function () {"
             " calls.push([name].concat(Array.prototype.slice.call(arguments))); return results[name]; }; } });");
    const QJSValue loaded = engine->evaluate(QString::fromUtf8(library.readAll()), QStringLiteral("ovex.js"));
    QVERIFY2(!loaded.isError(), qPrintable(loaded.toString()));
}

void TestGlueLibrary::cleanup()
{
    delete engine;
    engine = nullptr;
}

void TestGlueLibrary::wrappersPassDefaultsForUndefinedArguments_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("expected");
    QTest::newRow("confirm with nothing") << "app.confirm()"
                                          << R"j(["confirm","Do you want to continue?","","Yes","No"])j";
    QTest::newRow("confirm passes null through") << "app.confirm(null)"
                                                 << R"j(["confirm",null,"","Yes","No"])j";
    QTest::newRow("prompt with nothing") << "app.prompt()"
                                         << R"j(["prompt","Enter value","","","text"])j";
    QTest::newRow("prompt keeps a given type") << "app.prompt('n', 't', '5', 'int')"
                                               << R"j(["prompt","n","t","5","int"])j";
    QTest::newRow("info without title") << "app.info('hi')"
                                        << R"j(["info","hi",""])j";
    QTest::newRow("getSettings default is empty text") << "app.getSettings('k')"
                                                       << R"j(["getSettings","k",""])j";
    QTest::newRow("open file dialog") << "app.dialogOpenFile()"
                                      << R"j(["openFile","","",""])j";
    QTest::newRow("save file dialog") << "app.dialogSaveFile('T')"
                                      << R"j(["openNewFile","T","",""])j";
    QTest::newRow("open files dialog") << "app.dialogOpenFiles()"
                                       << R"j(["openFiles","","",""])j";
    QTest::newRow("open dir dialog") << "app.dialogOpenDir()"
                                     << R"j(["openDir","",""])j";
    QTest::newRow("explorer without path") << "app.system.openExplorer()"
                                           << R"j(["exploreDir",""])j";
    QTest::newRow("file md5 maps to fileMd5hex") << "app.fileMD5('f')"
                                                 << R"j(["fileMd5hex","f"])j";
    QTest::newRow("mkdir is recursive by default") << "app.fs.mkdir('d')"
                                                   << R"j(["mkdir","d",true])j";
    QTest::newRow("mkdir keeps false") << "app.fs.mkdir('d', false)"
                                       << R"j(["mkdir","d",false])j";
    QTest::newRow("isFile asks fileExists") << "app.fs.isFile('p')"
                                            << R"j(["fileExists","p"])j";
    QTest::newRow("isDir asks dirExists") << "app.fs.isDir('p')"
                                          << R"j(["dirExists","p"])j";
    QTest::newRow("file contents read") << "app.fs.fileGetContents('p')"
                                        << R"j(["fileread","p"])j";
    QTest::newRow("file contents written") << "app.fs.filePutContents('p', 'c')"
                                           << R"j(["filewrite","p","c"])j";
    QTest::newRow("copyDir maps to copydir") << "app.fs.copyDir('a', 'b')"
                                             << R"j(["copydir","a","b"])j";
    QTest::newRow("tempFile without suffix") << "app.fs.tempFile()"
                                             << R"j(["tempFile",""])j";
    QTest::newRow("download without callbacks") << "app.fs.download('u', 'p')"
                                                << R"j(["download","u","p","",""])j";
    QTest::newRow("reg value default") << "app.reg.getValue('p', 'k')"
                                       << R"j(["regGet","p","k",""])j";
    QTest::newRow("reg all values") << "app.reg.allValues('p')"
                                    << R"j(["regAllKeys","p"])j";
    QTest::newRow("reg all keys") << "app.reg.allKeys('p')"
                                  << R"j(["regKeys","p"])j";
    QTest::newRow("exec with only a command") << "app.exec('ls')"
                                              << R"j(["exec","ls","","",""])j";
    QTest::newRow("window centered on screen by default") << "new WIN(ovex, null).centerPosition()"
                                                          << R"j(["centerPosition",true,true,false])j";
    QTest::newRow("caption defaults") << "new WIN(ovex, null).setShowCaption()"
                                      << R"j(["setShowCaption",true,true,true,true,false])j";
    QTest::newRow("maximize by default") << "new WIN(ovex, null).setMaximized()"
                                         << R"j(["setMaximized",true])j";
    QTest::newRow("minimize by default") << "new WIN(ovex, null).setMinimized()"
                                         << R"j(["setMinimized",true])j";
    QTest::newRow("modal keeps false") << "new WIN(ovex, null).setModal(false)"
                                       << R"j(["setModal",false])j";
    QTest::newRow("frameless by default") << "new WIN(ovex, null).setFrameless()"
                                          << R"j(["setFrameless",true])j";
    QTest::newRow("always on top by default") << "new WIN(ovex, null).setAlwaysOnTop()"
                                              << R"j(["setAlwaysOnTop",true])j";
    QTest::newRow("menu without icon") << "new WIN(ovex, null).addMenu('n', 't')"
                                       << R"j(["addMenu","n","t",""])j";
    QTest::newRow("menu action defaults") << "new WIN(ovex, null).addMenuAction('n', 't')"
                                          << R"j(["addMenuAction","n","t","","",""])j";
    QTest::newRow("insert statement goes to dbInsert") << "new _OVEX_DB('d').query('INSERT INTO t VALUES (1)')"
                                                       << R"j(["dbInsert","INSERT INTO t VALUES (1)","d"])j";
    QTest::newRow("insert in mixed case goes to dbInsert") << "new _OVEX_DB('d').query('iNsErT into t')"
                                                           << R"j(["dbInsert","iNsErT into t","d"])j";
    QTest::newRow("the bare word goes to dbQuery") << "new _OVEX_DB('d').query('insert')"
                                                   << R"j(["dbQuery","insert","d"])j";
    QTest::newRow("insert followed by a tab goes to dbQuery") << "new _OVEX_DB('d').query('insert\\tx')"
                                                              << R"j(["dbQuery","insert\tx","d"])j";
    QTest::newRow("select goes to dbQuery") << "new _OVEX_DB('d').query('SELECT 1')"
                                            << R"j(["dbQuery","SELECT 1","d"])j";
    QTest::newRow("close") << "new _OVEX_DB('d').close()"
                           << R"j(["dbClose","d"])j";
}

void TestGlueLibrary::wrappersPassDefaultsForUndefinedArguments()
{
    QFETCH(QString, call);
    QFETCH(QString, expected);
    QVERIFY(!evaluate(call).isError());
    QCOMPARE(lastCall(), expected);
}

void TestGlueLibrary::callCallbackIgnoresEmptyAndUnknownIds()
{
    evaluate("var hits = 0; var id = _OVEX.registerCallback(function () { hits++; });");
    QVERIFY(!evaluate("_OVEX.callCallback(''); _OVEX.callCallback('cid0000000000000');"
                      "_OVEX.callCallbackDontRemove('nope'); _OVEX.removeCallback('nope');")
                     .isError());
    QCOMPARE(evaluate("hits").toInt(), 0);
    QCOMPARE(evaluate("typeof _OVEX.callbacks[id]").toString(), QStringLiteral("function"));
}

void TestGlueLibrary::callCallbackCallsOnceWithNullThisAndForgets()
{
    evaluate("var seen = []; var id = _OVEX.registerCallback(function (a, b) {"
             " 'use strict'; seen.push(this === null, a, b); });");
    evaluate("_OVEX.callCallback(id, 'x', 'y'); _OVEX.callCallback(id, 'again', '');");
    QCOMPARE(evaluate("JSON.stringify(seen)").toString(), QStringLiteral(R"j([true,"x","y"])j"));
    QCOMPARE(evaluate("id in _OVEX.callbacks").toBool(), false);
}

void TestGlueLibrary::callCallbackDontRemoveKeepsTheCallback()
{
    evaluate("var hits = 0; var id = _OVEX.registerCallback(function () { hits++; });");
    evaluate("_OVEX.callCallbackDontRemove(id); _OVEX.callCallbackDontRemove(id); _OVEX.callCallbackDontRemove(id);");
    QCOMPARE(evaluate("hits").toInt(), 3);
    evaluate("_OVEX.removeCallback(id); _OVEX.callCallbackDontRemove(id);");
    QCOMPARE(evaluate("hits").toInt(), 3);
}

void TestGlueLibrary::idsHaveSixteenCharactersAndDifferInTheirLastFive()
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const QString first = evaluate("_OVEX.uniqid()").toString();
    const QString second = evaluate("_OVEX.uniqid()").toString();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    QVERIFY2(QRegularExpression("^cid[0-9a-f]{13}$").match(first).hasMatch(), qPrintable(first));
    QCOMPARE(second.size(), 16);
    QVERIFY(first.right(5) != second.right(5));
    const qint64 seconds = first.mid(3, 8).toLongLong(nullptr, 16);
    QVERIFY(seconds >= before && seconds <= after);
}

void TestGlueLibrary::idCounterKeepsItsLastFiveHexDigits()
{
    evaluate("_OVEX.uniqid_seed = 0xfffff;");
    QCOMPARE(evaluate("_OVEX.uniqid()").toString().right(5), QStringLiteral("00000"));
    evaluate("_OVEX.uniqid_seed = 0x1e;");
    QCOMPARE(evaluate("_OVEX.uniqid()").toString().right(5), QStringLiteral("0001f"));
}

void TestGlueLibrary::execRegistersOnlyTruthyCallbacks()
{
    evaluate("var got = ''; app.exec('cmd', function (x) { got = 'finish ' + x; }, null, function () {});");
    evaluate("var call = calls[calls.length - 1];");
    QCOMPARE(evaluate("call[3]").toString(), QString());
    QVERIFY(evaluate("call[4]").toString().startsWith(QLatin1String("cid")));
    evaluate("_OVEX.callCallback(call[2], 'done');");
    QCOMPARE(evaluate("got").toString(), QStringLiteral("finish done"));
}

void TestGlueLibrary::connectWithoutIdUsesAFreshId()
{
    evaluate("var db = app.db.connectSQLITE('file.db');");
    const QString id = evaluate("db.id").toString();
    QVERIFY(id.startsWith(QLatin1String("cid")));
    QCOMPARE(lastCall(), QStringLiteral(R"j(["dbConnect","file.db","%1"])j").arg(id));
    evaluate("app.db.connectSQLITE('other.db', 'mine').query('SELECT 1')");
    QCOMPARE(lastCall(), QStringLiteral(R"j(["dbQuery","SELECT 1","mine"])j"));
}

QTEST_GUILESS_MAIN(TestGlueLibrary)
#include "tst_gluelibrary.moc"
