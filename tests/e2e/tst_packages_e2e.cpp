// End-to-end: applications served from a package named after the executable.
#include "ejpwrapper.h"
#include "tressilrunner.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
// A 3 x 2 PNG, so a page can check it decoded the image it was served.
QByteArray smallPng()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const QByteArray packagedApplication
        = "function main(args) { app.win.show();"
          " var img = new Image();"
          " img.onload = function () { ovex.println('packaged ' + img.naturalWidth + 'x' + img.naturalHeight); "
          "ovex.exit(0); };"
          " img.onerror = function () { ovex.println('packaged image failed'); ovex.exit(1); };"
          " img.src = 'ejp:/img/dot.png'; }";
} // namespace

class TestPackagesE2E : public QObject
{
    Q_OBJECT

private:
    // Packs `files` (relative name -> content) into `packageFile`.
    static void pack(const QMap<QString, QByteArray> &files, const QString &packageFile)
    {
        QTemporaryDir source;
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            writeFile(source.filePath(it.key()), it.value());
        EJPWrapper().wrap(source.path(), packageFile);
    }

private Q_SLOTS:
    void applicationRunsFromPackageInWorkingDirectory();
    void looseApplicationBesideExecutableWinsOverPackage();
    void packageIsLookedUpByBaseNameUpToFirstDot();
    void packageBesideExecutableButNotInWorkingDirectoryIsIgnored();
    void scriptPacksAndLoadsPackages();
    void startSurvivesAPipeOrZerosAsPackage_data();
    void startSurvivesAPipeOrZerosAsPackage();
    void scriptWrapIsFalseWhenLinksAreLeftOut();
};

void TestPackagesE2E::applicationRunsFromPackageInWorkingDirectory()
{
    TressilRunner runner;
    QTemporaryDir workDir;
    pack({{"application.js", packagedApplication}, {"img/dot.png", smallPng()}}, workDir.filePath("tressil.ejp"));
    QVERIFY(!QDir(runner.directory() + "/app").exists());
    const TressilRun run = runner.run({}, 30000, workDir.path());
    QVERIFY(run.finished);
    QCOMPARE(run.lines(), QStringList {"packaged 3x2"});
    QCOMPARE(run.exitCode, 0);
}

void TestPackagesE2E::looseApplicationBesideExecutableWinsOverPackage()
{
    TressilRunner runner;
    runner.writeApplication("function main(args) { var x = new XMLHttpRequest(); x.open('GET', "
                            "'xrc:/only-packaged.txt', false); x.send();"
                            " ovex.println('loose ' + x.responseText); ovex.exit(0); }");
    QTemporaryDir workDir;
    pack({{"application.js", packagedApplication}, {"only-packaged.txt", "from package"}},
         workDir.filePath("tressil.ejp"));
    QCOMPARE(runner.run({}, 30000, workDir.path()).lines(), QStringList {"loose from package"});
}

void TestPackagesE2E::packageIsLookedUpByBaseNameUpToFirstDot()
{
    TressilRunner runner(QStringLiteral("my.tool.bin"));
    QTemporaryDir workDir;
    pack({{"application.js", packagedApplication}, {"img/dot.png", smallPng()}}, workDir.filePath("my.ejp"));
    QCOMPARE(runner.run({}, 30000, workDir.path()).lines(), QStringList {"packaged 3x2"});
}

void TestPackagesE2E::packageBesideExecutableButNotInWorkingDirectoryIsIgnored()
{
    TressilRunner runner;
    pack({{"application.js", "function main(args) { ovex.println('wrong place'); ovex.exit(4); }"}},
         runner.directory() + "/tressil.ejp");
    QTemporaryDir workDir;
    const TressilRun run = runner.run({}, 30000, workDir.path());
    QVERIFY(run.finished);
    QCOMPARE(run.lines(), QStringList());
    QCOMPARE(run.exitCode, 0); // no application at all: the hidden window closes
}

void TestPackagesE2E::scriptPacksAndLoadsPackages()
{
    TressilRunner runner;
    QTemporaryDir data;
    writeFile(data.filePath("src/a.txt"), "alpha");
    writeFile(data.filePath("src/sub/b.txt"), "beta");
    const QString source = data.filePath("src");
    const QString package = data.filePath("out.ejp");
    runner.writeApplication(
            "function get(url) { var x = new XMLHttpRequest(); x.open('GET', url, false); x.send(); return x.status + "
            "':' + x.responseText; }"
            "function main(args) {"
            " ovex.println(get('ejp:/a.txt'));"
            " ovex.println(app.wrapEJP(args[1], args[2]) + ' ' + ovex.wrapEJP(args[1], args[2] + '/none.ejp'));"
            " ovex.println(get('ejp:/a.txt'));"
            " app.loadEJP(args[2]); app.loadEJP(args[2]);"
            " ovex.println(get('ejp:/a.txt') + ' ' + get('ejp:/sub/b.txt') + ' ' + get('xrc:/sub/b.txt'));"
            " ovex.exit(0); }");
    const TressilRun run = runner.run({source, package});
    QCOMPARE(run.lines(), (QStringList {"404:", "true false", "404:", "200:alpha 200:beta 200:beta"}));
    EJPWrapper loaded;
    loaded.load(package);
    QCOMPARE(loaded.entries().keys(), (QStringList {"/a.txt", "/sub/b.txt"}));
}

void TestPackagesE2E::startSurvivesAPipeOrZerosAsPackage_data()
{
    QTest::addColumn<bool>("pipe");
    QTest::newRow("a pipe, which would block opening it for reading") << true;
    // 60 million empty records once took 4.7 GB and a minute before the program aborted.
    QTest::newRow("480 MB of zeros, sparse") << false;
}

void TestPackagesE2E::startSurvivesAPipeOrZerosAsPackage()
{
    QFETCH(bool, pipe);
    TressilRunner runner;
    runner.writeApplication("function main(args) { ovex.println('loose'); ovex.exit(0); }");
    QTemporaryDir workDir;
    const QString package = workDir.filePath("tressil.ejp");
    if (pipe) {
        QVERIFY(::mkfifo(QFile::encodeName(package).constData(), 0600) == 0);
    } else {
        writeFile(package, QByteArray());
        QVERIFY(QFile(package).resize(480LL * 1000 * 1000));
    }
    const TressilRun run = runner.run({}, 30000, workDir.path());
    QVERIFY(run.finished);
    QVERIFY(!run.crashed);
    QCOMPARE(run.lines(), QStringList {"loose"});
    QCOMPARE(run.exitCode, 0);
}

void TestPackagesE2E::scriptWrapIsFalseWhenLinksAreLeftOut()
{
    TressilRunner runner;
    QTemporaryDir data;
    writeFile(data.filePath("src/a.txt"), "alpha");
    writeFile(data.filePath("secret/key"), "private");
    QVERIFY(QFile::link(data.filePath("secret"), data.filePath("src/secret")));
    runner.writeApplication("function main(args) { ovex.println(ovex.wrapEJP(args[1], args[2])); ovex.exit(0); }");
    const QString package = data.filePath("out.ejp");
    QCOMPARE(runner.run({data.filePath("src"), package}).lines(), QStringList {"false"});
    EJPWrapper loaded;
    loaded.load(package);
    QCOMPARE(loaded.entries().keys(), QStringList {"/a.txt"});
}

QTEST_GUILESS_MAIN(TestPackagesE2E)
#include "tst_packages_e2e.moc"
