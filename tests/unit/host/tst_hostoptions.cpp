// The host's command line, read before any window system is touched.
#include "ejpwrapper.h"
#include "hostoptions.h"

#include <QTemporaryDir>
#include <QtTest>

using Action = HostOptions::Action;
Q_DECLARE_METATYPE(HostOptions::Action)

namespace {

// The words at the positions the options hand to Qt.
QStringList toolkitWords(const HostOptions &options, const QStringList &arguments)
{
    QStringList words;
    for (int index : options.toolkitArguments())
        words.append(arguments.at(index));
    return words;
}

} // namespace

class TestHostOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void argumentsAreSplitBetweenHostQtAndApplication_data();
    void argumentsAreSplitBetweenHostQtAndApplication();
    void badCommandLinesAreUsageErrors_data();
    void badCommandLinesAreUsageErrors();
    void sourcesMustExistAndBecomeAbsolute();
    void environmentAsksForTheInspectorUnlessEmptyOrZero_data();
    void environmentAsksForTheInspectorUnlessEmptyOrZero();
};

void TestHostOptions::argumentsAreSplitBetweenHostQtAndApplication_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program path
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("toolkit"); // after the program path
    QTest::addColumn<QStringList>("trailing");
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("package");
    QTest::addColumn<bool>("inspect");
    QTest::newRow("no options pass every argument on as before")
            << QStringList {"a", "b c", "-"} << Action::Run << QStringList {"a", "b c", "-"} << QStringList()
            << QString() << QString() << false;
    QTest::newRow("--app takes the next word and is removed")
            << QStringList {"--app", "dir", "x"} << Action::Run << QStringList {"x"} << QStringList() << "dir"
            << QString() << false;
    QTest::newRow("--app=DIR is the same") << QStringList {"--app=my dir"} << Action::Run << QStringList()
                                           << QStringList() << "my dir" << QString() << false;
    QTest::newRow("--package takes the next word") << QStringList {"--package", "a.ejp"} << Action::Run << QStringList()
                                                   << QStringList() << QString() << "a.ejp" << false;
    QTest::newRow("--inspect is removed anywhere before --")
            << QStringList {"x", "--inspect", "y"} << Action::Run << QStringList {"x", "y"} << QStringList()
            << QString() << QString() << true;
    QTest::newRow("words after -- are the application's, options or not")
            << QStringList {"--app", "d", "--", "--inspect", "--", "-reverse", "--bogus"} << Action::Run
            << QStringList() << QStringList {"--inspect", "--", "-reverse", "--bogus"} << "d" << QString() << false;
    QTest::newRow("-- alone is removed") << QStringList {"--"} << Action::Run << QStringList() << QStringList()
                                         << QString() << QString() << false;
    QTest::newRow("Qt's options stay for Qt with their values")
            << QStringList {"-platform", "offscreen", "-reverse", "--style", "fusion", "-stylesheet=a.qss", "x"}
            << Action::Run
            << QStringList {"-platform", "offscreen", "-reverse", "--style", "fusion", "-stylesheet=a.qss", "x"}
            << QStringList() << QString() << QString() << false;
    QTest::newRow("the value of a Qt option is never read as an option")
            << QStringList {"-qwindowtitle", "--help"} << Action::Run << QStringList {"-qwindowtitle", "--help"}
            << QStringList() << QString() << QString() << false;
    QTest::newRow("--help asks for help") << QStringList {"x", "--help"} << Action::Help << QStringList {"x"}
                                          << QStringList() << QString() << QString() << false;
    QTest::newRow("-h asks for help") << QStringList {"-h"} << Action::Help << QStringList() << QStringList()
                                      << QString() << QString() << false;
    QTest::newRow("--version asks for the version") << QStringList {"--version"} << Action::Version << QStringList()
                                                    << QStringList() << QString() << QString() << false;
    QTest::newRow("--help after -- is the application's")
            << QStringList {"--", "--help"} << Action::Run << QStringList() << QStringList {"--help"} << QString()
            << QString() << false;
}

void TestHostOptions::argumentsAreSplitBetweenHostQtAndApplication()
{
    QFETCH(QStringList, arguments);
    QFETCH(Action, action);
    QFETCH(QStringList, toolkit);
    QFETCH(QStringList, trailing);
    QFETCH(QString, app);
    QFETCH(QString, package);
    QFETCH(bool, inspect);
    const QStringList all = QStringList {"/usr/bin/tressil"} + arguments;
    const HostOptions options = HostOptions::parse(all);
    QCOMPARE(options.action(), action);
    QCOMPARE(options.error(), QString());
    QCOMPARE(toolkitWords(options, all), QStringList {"/usr/bin/tressil"} + toolkit);
    QCOMPARE(options.trailingArguments(), trailing);
    QCOMPARE(options.appDirectory(), app);
    QCOMPARE(options.packageFile(), package);
    QCOMPARE(options.inspect(), inspect);
}

void TestHostOptions::badCommandLinesAreUsageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    const QString unknownTail
            = QStringLiteral("' (application arguments that start with '-' go after '--'; see tressil --help)");
    QTest::newRow("unknown long option") << QStringList {"--bogus"} << "unknown option '--bogus" + unknownTail;
    QTest::newRow("unknown short option after an argument")
            << QStringList {"x", "-q"} << "unknown option '-q" + unknownTail;
    QTest::newRow("negative number before --") << QStringList {"-5"} << "unknown option '-5" + unknownTail;
    QTest::newRow("Qt option that takes no joined value")
            << QStringList {"-platform=xcb"} << "unknown option '-platform=xcb" + unknownTail;
    QTest::newRow("--app without its folder") << QStringList {"--app"} << "--app needs a value (see tressil --help)";
    QTest::newRow("--package with an empty value")
            << QStringList {"--package="} << "--package needs a value (see tressil --help)";
    QTest::newRow("--app twice") << QStringList {"--app", "a", "--app", "b"} << "--app given twice";
    QTest::newRow("--app with --package")
            << QStringList {"--app", "a", "--package", "b.ejp"} << "--app and --package cannot be combined";
    QTest::newRow("unknown option before a later --help")
            << QStringList {"--bogus", "--help"} << "unknown option '--bogus" + unknownTail;
}

void TestHostOptions::badCommandLinesAreUsageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const HostOptions options = HostOptions::parse(QStringList {"tressil"} + arguments);
    QCOMPARE(options.action(), Action::UsageError);
    QCOMPARE(options.error(), error);
}

void TestHostOptions::sourcesMustExistAndBecomeAbsolute()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir("bare"));
    QFile script(tmp.filePath("application.js"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.close();
    EJPWrapper().wrap(tmp.path(), tmp.filePath("a.ejp"));
    EJPWrapper().wrap(tmp.filePath("bare"), tmp.filePath("bare.ejp"));
    QVERIFY(QDir::setCurrent(tmp.path()));

    HostOptions app = HostOptions::parse({"tressil", "--app", "."});
    QCOMPARE(app.checkSources(), QString());
    QCOMPARE(QDir::cleanPath(app.appDirectory()), QDir(tmp.path()).canonicalPath());
    HostOptions packaged = HostOptions::parse({"tressil", "--package", "a.ejp"});
    QCOMPARE(packaged.checkSources(), QString());
    QCOMPARE(packaged.packageFile(), QFileInfo(tmp.filePath("a.ejp")).absoluteFilePath());

    QCOMPARE(HostOptions::parse({"tressil", "--app", "a.ejp"}).checkSources(),
             QStringLiteral("--app a.ejp: no such folder"));
    QCOMPARE(HostOptions::parse({"tressil", "--package", "."}).checkSources(),
             QStringLiteral("--package .: no readable package file"));
    QCOMPARE(HostOptions::parse({"tressil", "--package", "none.ejp"}).checkSources(),
             QStringLiteral("--package none.ejp: no readable package file"));
    QCOMPARE(HostOptions::parse({"tressil", "--app", "bare"}).checkSources(),
             QStringLiteral("--app bare: no application.js in the folder"));
    QCOMPARE(HostOptions::parse({"tressil", "--package", "bare.ejp"}).checkSources(),
             QStringLiteral("--package bare.ejp: no /application.js in the package"));
}

void TestHostOptions::environmentAsksForTheInspectorUnlessEmptyOrZero_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("inspect");
    QTest::newRow("unset or empty asks nothing") << QByteArray() << false;
    QTest::newRow("zero asks nothing") << QByteArray("0") << false;
    QTest::newRow("one asks for it") << QByteArray("1") << true;
    QTest::newRow("any word asks for it") << QByteArray("yes") << true;
}

void TestHostOptions::environmentAsksForTheInspectorUnlessEmptyOrZero()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, inspect);
    QCOMPARE(HostOptions::inspectRequestedBy(value), inspect);
}

QTEST_APPLESS_MAIN(TestHostOptions)
#include "tst_hostoptions.moc"
