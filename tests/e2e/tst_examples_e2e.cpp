// End-to-end: the example applications under examples/, each run by the real tressil program
// with --app and driven through its own page by a script appended to its application.js.
#include "tressilrunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The example's files in the runner's app folder, with `driver` (a file of tests/data/examples)
// appended to its application.js.
void installExample(TressilRunner *runner, const QString &example, const QString &driver)
{
    const QDir source(QStringLiteral(TRESSIL_SOURCE_DIR "/examples/") + example);
    for (const QString &name : source.entryList(QDir::Files)) {
        QByteArray content = readFile(source.filePath(name));
        if (name == QLatin1String("application.js"))
            content += '\n' + readFile(QStringLiteral(TRESSIL_TEST_DATA_DIR "/examples/") + driver);
        runner->writeAppFile(name, content);
    }
}

// The JSON array the driver printed last, or a description of the failed run.
QJsonArray runDriven(const TressilRunner &runner, const QStringList &applicationArguments)
{
    const TressilRun run = runner.run(QStringList {QStringLiteral("--app"), runner.directory() + QStringLiteral("/app"),
                                                   QStringLiteral("--")}
                                      + applicationArguments);
    const QJsonDocument printed = QJsonDocument::fromJson(run.lines().value(run.lines().size() - 1).toUtf8());
    if (!run.finished || run.exitCode != 0 || !printed.isArray())
        return QJsonArray {QStringLiteral("<failed run>"), QString::fromUtf8(run.out), QString::fromUtf8(run.err)};
    return printed.array();
}

QJsonArray parse(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    return document.isArray() ? document.array() : QJsonArray {QStringLiteral("<bad expectation>")};
}

} // namespace

class TestExamplesE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notesKeepsNotesSettingsAndSizeAcrossRuns();
    void fileBrowserListsEntersAndStreamsCommandOutput();
    void pluginDemoShowsThePluginsImageAndWidget();
    void pluginDemoWithoutItsPluginSaysSo();
};

void TestExamplesE2E::notesKeepsNotesSettingsAndSizeAcrossRuns()
{
    QTemporaryDir data;
    const QString database = data.filePath(QStringLiteral("notes.sqlite"));
    TressilRunner runner;
    installExample(&runner, QStringLiteral("notes"), QStringLiteral("notes_first_run.js"));
    QCOMPARE(runDriven(runner, {QStringLiteral("--db"), database}),
             parse(R"([0, ["Ideas", "Groceries"], "milk, 'eggs'", "Groceries", "Groceries", "Notes — Groceries"])"));

    // The same program folder, so the same settings; the database file holds the notes.
    installExample(&runner, QStringLiteral("notes"), QStringLiteral("notes_second_run.js"));
    QCOMPARE(runDriven(runner, {QStringLiteral("--db"), database}),
             parse(R"([["Ideas", "Groceries"], "Groceries", "milk, 'eggs'", [640, 400], 1, ""])"));
}

void TestExamplesE2E::fileBrowserListsEntersAndStreamsCommandOutput()
{
    QTemporaryDir work;
    const QString inner = work.filePath(QStringLiteral("it's here"));
    QVERIFY(QDir().mkpath(inner));
    for (const QString &file : {work.filePath("b.txt"), work.filePath("A.txt"), inner + "/inside.txt"}) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("hello");
    }
    TressilRunner runner;
    installExample(&runner, QStringLiteral("file-browser"), QStringLiteral("filebrowser.js"));
    QJsonArray expected = parse(R"([true, ["it's here/", "A.txt", "b.txt"], ["inside.txt"], true, true,
                                    ["INNER", "hello"], false, true, true])");
    expected[5] = QJsonArray {inner, QStringLiteral("hello")};
    QCOMPARE(runDriven(runner, {work.path()}), expected);
}

void TestExamplesE2E::pluginDemoShowsThePluginsImageAndWidget()
{
    TressilRunner runner;
    installExample(&runner, QStringLiteral("plugin-demo"), QStringLiteral("plugindemo.js"));
    QCOMPARE(runDriven(runner, {QStringLiteral(TRESSIL_BIN_DIR "/libSwatchDemo.so")}),
             parse(R"([1, "1", 200, "PNG", "teal", "Not a colour: no such colour", "teal",
                       "drc:swatch.png?2", "#ff8800"])"));
}

void TestExamplesE2E::pluginDemoWithoutItsPluginSaysSo()
{
    TressilRunner runner;
    installExample(&runner, QStringLiteral("plugin-demo"), QStringLiteral("plugindemo.js"));
    const TressilRun run = runner.run({QStringLiteral("--app"), runner.directory() + QStringLiteral("/app"),
                                       QStringLiteral("--"), QStringLiteral("/nonexistent/libSwatchDemo.so")});
    QVERIFY(run.finished);
    QCOMPARE(run.lines().value(0), QStringLiteral("no plug-in at /nonexistent/libSwatchDemo.so"));
    QCOMPARE(run.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestExamplesE2E)
#include "tst_examples_e2e.moc"
