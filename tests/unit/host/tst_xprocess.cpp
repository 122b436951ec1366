// Watched processes through the real bridge: a real application object, its page with the glue
// library, and callbacks that record what script received.
#include "jsapiovex.h"
#include "ovex.h"
#include "xprocess.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebFrame>
#include <QWebPage>
#include <QtTest>

class TestXProcess : public QObject
{
    Q_OBJECT

private:
    Ovex *ovex = nullptr;
    QTemporaryDir dir;
    QStringList boxes; // "title: text" of every message box answered

    QVariant evaluate(const QString &script) const
    {
        return ovex->mainWindow()->webView()->page()->mainFrame()->evaluateJavaScript(script);
    }

    // A callback id whose calls are recorded as [name, arguments...].
    QString recorder(const QString &name) const { return evaluate("record('" + name + "')").toString(); }

    // The recorded calls of one callback, each as its list of arguments.
    QList<QStringList> calls(const QString &name) const
    {
        const QJsonArray all = QJsonDocument::fromJson(evaluate("JSON.stringify(events)").toString().toUtf8()).array();
        QList<QStringList> found;
        for (const QJsonValue &event : all) {
            QStringList values;
            for (const QJsonValue &value : event.toArray())
                values << value.toString();
            if (values.takeFirst() == name)
                found << values;
        }
        return found;
    }

    bool registered(const QString &cid) const
    {
        return evaluate("_OVEX.callbacks.hasOwnProperty('" + cid + "')").toBool();
    }

    // Everything the process callbacks and the finish callback received, in order.
    QString receivedOutput() const
    {
        QString text;
        for (const QStringList &call : calls("output") + calls("finish"))
            text += call.value(0);
        return text;
    }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return file.fileName();
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void commandLineConversion_data();
    void commandLineConversion();
    void firstExecIsZeroAndNextIsOne();
    void outputArrivesAsThePrintedText_data();
    void outputArrivesAsThePrintedText();
    void killExecShowsOneCallsErrorAndDropsFinish();
    void unstartableProgramShowsZeroAfterExecReturned();
    void execAsciiOfAnAsciiCommandIsExec();
    void execAsciiPassesUtf8BytesAsCharacters();
    void commandIsCutAtAZeroCharacter();
    void runningProcessEndsSilentlyWithTheScriptObject();
};

void TestXProcess::initTestCase()
{
    Q_INIT_RESOURCE(tressil_resources);
    ovex = new Ovex(qApp);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate("typeof _OVEX").toString(), QStringLiteral("object"), 10000);
    // Message boxes are answered as soon as they show, and remembered.
    auto *answerer = new QTimer(this);
    connect(answerer, &QTimer::timeout, this, [this] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            boxes << box->windowTitle() + ": " + box->text();
            box->accept();
        }
    });
    answerer->start(20);
}

void TestXProcess::init()
{
    boxes.clear();
    evaluate("var events = []; function record(name) { return _OVEX.registerCallback(function () {"
             " events.push([name].concat(Array.prototype.slice.call(arguments))); }); }");
}

void TestXProcess::cleanupTestCase()
{
    delete ovex;
}

void TestXProcess::commandLineConversion_data()
{
    QTest::addColumn<QVariant>("command");
    QTest::addColumn<bool>("latin1");
    QTest::addColumn<QString>("line");
    QTest::newRow("a string passes through exec unchanged")
            << QVariant(QString::fromUtf8("echo é")) << false << QString::fromUtf8("echo é");
    QTest::newRow("execASCII reads each UTF-8 byte as a character")
            << QVariant(QString::fromUtf8("echo é")) << true << QString::fromUtf8("echo Ã©");
    QTest::newRow("a number gives its decimal text") << QVariant(42.0) << false << "42";
    QTest::newRow("a list gives nothing") << QVariant(QVariantList {"echo", "x"}) << false << "";
    QTest::newRow("text is cut at a zero character")
            << QVariant(QString::fromUtf8("echo a\0b", 8)) << false << "echo a";
}

void TestXProcess::commandLineConversion()
{
    QFETCH(QVariant, command);
    QFETCH(bool, latin1);
    QFETCH(QString, line);
    const auto encoding = latin1 ? XProcess::CommandEncoding::Latin1 : XProcess::CommandEncoding::Utf8;
    QCOMPARE(XProcess::commandLine(command, encoding), line);
}

void TestXProcess::firstExecIsZeroAndNextIsOne()
{
    JSApiOvex api(ovex, nullptr);
    QCOMPARE(api.exec("true", "", "", ""), 0);
    QCOMPARE(api.exec("true", "", "", ""), 1);
    QCOMPARE(api.execASCII("true", "", "", ""), 2);
}

void TestXProcess::outputArrivesAsThePrintedText_data()
{
    QTest::addColumn<QByteArray>("printed");
    QTest::addColumn<QString>("received");
    QTest::newRow("carriage return becomes a blank, the line feed stays")
            << QByteArray("it's\r\nok") << QStringLiteral("it's \nok");
    QTest::newRow("backslashes arrive unchanged") << QByteArray("a\\b\\\\n\\") << QStringLiteral("a\\b\\\\n\\");
    QTest::newRow("output that tries to break out stays text")
            << QByteArray("\\'); events.push(['hacked']); //") << QStringLiteral("\\'); events.push(['hacked']); //");
    QTest::newRow("unicode line terminators arrive unchanged") << QByteArray("a\xe2\x80\xa8"
                                                                             "b\xe2\x80\xa9"
                                                                             "c")
                                                               << QString::fromUtf8("a\u2028b\u2029c");
    QTest::newRow("output stops at a zero byte") << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
    QTest::newRow("a program that prints nothing") << QByteArray() << QString();
}

void TestXProcess::outputArrivesAsThePrintedText()
{
    QFETCH(QByteArray, printed);
    QFETCH(QString, received);
    const QString file = writeFile("printed.bin", printed);
    JSApiOvex api(ovex, nullptr);
    const QString finish = recorder("finish");
    const QString output = recorder("output");
    const QString error = recorder("error");
    api.exec("cat \"" + file + "\"", finish, output, error);
    QTRY_COMPARE_WITH_TIMEOUT(calls("finish").size(), 1, 10000);
    QCOMPARE(calls("finish").first().size(), 1);
    QCOMPARE(receivedOutput(), received);
    QVERIFY(calls("hacked").isEmpty());
    QVERIFY(calls("error").isEmpty());
    QVERIFY(!registered(finish));
    QVERIFY(!registered(output));
    QVERIFY(!registered(error));
}

void TestXProcess::killExecShowsOneCallsErrorAndDropsFinish()
{
    JSApiOvex api(ovex, nullptr);
    const QString finish = recorder("finish");
    const QString error = recorder("error");
    const int id = api.exec("sleep 30", finish, "", error);
    QTRY_COMPARE_WITH_TIMEOUT(api.findChild<QProcess *>()->state(), QProcess::Running, 5000);
    api.killExec(id);
    QTRY_COMPARE_WITH_TIMEOUT(calls("error").size(), 1, 5000);
    QCOMPARE(calls("error").first(), QStringList());
    QCOMPARE(boxes, QStringList {"Info: 1"});
    QTest::qWait(200);
    QVERIFY(calls("finish").isEmpty());
    QVERIFY(!registered(finish));
    api.killExec(id);
    api.killExec(99);
}

void TestXProcess::unstartableProgramShowsZeroAfterExecReturned()
{
    const QStringList commands {"/no/such/program", ""};
    for (const QString &command : commands) {
        boxes.clear();
        JSApiOvex api(ovex, nullptr);
        const QString error = recorder("error");
        const QString finish = recorder("finish");
        const int id = api.exec(command, finish, "", error);
        QCOMPARE(id, 0);
        QVERIFY2(boxes.isEmpty(), "the failure must arrive after exec has returned");
        QTRY_COMPARE_WITH_TIMEOUT(boxes, QStringList {"Info: 0"}, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(calls("error").size(), 1, 5000);
        QVERIFY(!registered(finish));
        evaluate("events = []");
    }
    QVERIFY(calls("finish").isEmpty());
}

void TestXProcess::execAsciiOfAnAsciiCommandIsExec()
{
    JSApiOvex api(ovex, nullptr);
    QStringList received;
    for (bool ascii : {false, true}) {
        evaluate("events = []");
        const QString finish = recorder("finish");
        const QString output = recorder("output");
        if (ascii)
            api.execASCII("echo \"plain  words\"", finish, output, "");
        else
            api.exec("echo \"plain  words\"", finish, output, "");
        QTRY_COMPARE_WITH_TIMEOUT(calls("finish").size(), 1, 10000);
        received << receivedOutput();
    }
    QCOMPARE(received, (QStringList {"plain  words\n", "plain  words\n"}));
}

void TestXProcess::execAsciiPassesUtf8BytesAsCharacters()
{
    JSApiOvex api(ovex, nullptr);
    api.execASCII(QString::fromUtf8("echo é"), recorder("finish"), recorder("output"), "");
    QTRY_COMPARE_WITH_TIMEOUT(calls("finish").size(), 1, 10000);
    QCOMPARE(receivedOutput(), QString::fromUtf8("Ã©\n"));
}

void TestXProcess::commandIsCutAtAZeroCharacter()
{
    JSApiOvex api(ovex, nullptr);
    api.exec(QString::fromUtf8("echo ab\0cd", 10), recorder("finish"), recorder("output"), "");
    QTRY_COMPARE_WITH_TIMEOUT(calls("finish").size(), 1, 10000);
    QCOMPARE(receivedOutput(), QStringLiteral("ab\n"));
}

void TestXProcess::runningProcessEndsSilentlyWithTheScriptObject()
{
    QElapsedTimer clock;
    clock.start();
    {
        JSApiOvex api(ovex, nullptr);
        api.exec("sleep 30", recorder("finish"), "", recorder("error"));
        QTRY_COMPARE_WITH_TIMEOUT(api.findChild<QProcess *>()->state(), QProcess::Running, 5000);
    }
    QVERIFY(clock.elapsed() < 10000);
    QTest::qWait(100);
    QVERIFY(boxes.isEmpty());
    QVERIFY(calls("finish").isEmpty());
    QVERIFY(calls("error").isEmpty());
}

QTEST_MAIN(TestXProcess)
#include "tst_xprocess.moc"
