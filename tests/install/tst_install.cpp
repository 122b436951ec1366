// The installed tree: cmake --install into a temporary prefix, then the installed launcher
// must start the program that finds its plug-in and studio app.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir prefix;

    static int runToEnd(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
    {
        QProcess process;
        // The installed programs find the video module by the install layout alone.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("LUMATRACE_VIDEO_MODULE"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(120000))
            return -1;
        if (output)
            *output = process.readAll();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase();
    void installPutsEveryPartInPlace_data();
    void installPutsEveryPartInPlace();
    void desktopFileIsValid();
    void installedToolRuns();
    void installedLauncherStartsTheStudioWithItsPlugin();
};

void TestInstall::initTestCase()
{
    QByteArray output;
    QCOMPARE(runToEnd(QStringLiteral(CMAKE_COMMAND_PATH),
                      {"--install", QStringLiteral(BUILD_DIR), "--prefix", prefix.path()}, &output),
             0);
}

void TestInstall::installPutsEveryPartInPlace_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("launcher") << "bin/tressil" << true;
    QTest::newRow("command-line tool") << "bin/lumatrace" << true;
    QTest::newRow("program in its private folder") << "lib/tressil/tressil" << true;
    QTest::newRow("plug-in beside the program") << "lib/tressil/libLumatrace1.so" << false;
    QTest::newRow("video module beside the plug-in") << "lib/tressil/libLumatraceVideo.so" << false;
    QTest::newRow("studio beside the program") << "lib/tressil/app/application.js" << false;
    QTest::newRow("desktop entry") << "share/applications/lumatrace.desktop" << false;
    QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/lumatrace.svg" << false;
}

void TestInstall::installPutsEveryPartInPlace()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo file(prefix.filePath(path));
    QVERIFY2(file.isFile(), qPrintable(path));
    QCOMPARE(file.isExecutable(), executable);
}

void TestInstall::desktopFileIsValid()
{
    QByteArray output;
    QCOMPARE(runToEnd(QStringLiteral("desktop-file-validate"),
                      {prefix.filePath("share/applications/lumatrace.desktop")}, &output),
             0);
    QVERIFY2(output.trimmed().isEmpty(), output.constData());
}

void TestInstall::installedToolRuns()
{
    QByteArray output;
    QCOMPARE(runToEnd(prefix.filePath("bin/lumatrace"), {"--help"}, &output), 0);
    QVERIFY(output.contains("lumatrace export"));
    // An animation loads the video module from the program's private folder.
    QTemporaryDir work;
    QFile map(work.filePath("map.json"));
    QVERIFY(map.open(QIODevice::WriteOnly) && map.write(R"({"width": 40, "height": 30})") > 0);
    map.close();
    const QString loop = work.filePath("loop.gif");
    QCOMPARE(runToEnd(prefix.filePath("bin/lumatrace"), {"export", map.fileName(), loop, "--frames", "2"}, &output), 0);
    QVERIFY2(QFileInfo(loop).size() > 0, output.constData());
}

void TestInstall::installedLauncherStartsTheStudioWithItsPlugin()
{
    // The studio writes its database only once the plug-in has loaded; started from
    // another folder through the launcher, it must still find both.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_DATA_HOME", home.filePath("data"));
    environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
    QProcess studio;
    studio.setProcessEnvironment(environment);
    studio.setWorkingDirectory(QDir::rootPath());
    studio.start(prefix.filePath("bin/tressil"), QStringList());
    QVERIFY(studio.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(home.filePath("data/Lumatrace/studio.sqlite")), 30000);
    QCOMPARE(studio.state(), QProcess::Running);
    studio.kill();
    studio.waitForFinished();
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
