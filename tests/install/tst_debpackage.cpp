// The Debian package: cpack -G DEB from the build folder, then its file list, its
// Depends and the programs unpacked from it.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &arguments, const QString &workingDirectory = QString())
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(240000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// The package names of a Depends field, alternatives included, without versions.
QStringList dependencyNames(const QByteArray &field)
{
    QStringList names;
    for (const QString &alternatives : QString::fromUtf8(field).split(QLatin1Char(',')))
        for (const QString &dependency : alternatives.split(QLatin1Char('|')))
            names.append(dependency.section(QLatin1Char('('), 0, 0).trimmed());
    return names;
}

} // namespace

class TestDebPackage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    QString package;
    QMap<QString, QString> modes; // path in the package -> mode text as dpkg-deb -c shows it

private Q_SLOTS:
    void initTestCase();
    void packageIsNamedAfterNameVersionAndArchitecture();
    void packageHoldsEveryPart_data();
    void packageHoldsEveryPart();
    void everyFileLiesBelowUsr();
    void dependsComeFromTheLinkedLibraries_data();
    void dependsComeFromTheLinkedLibraries();
    void manPagesAreGzipped_data();
    void manPagesAreGzipped();
    void unpackedLaunchersStartTheirPrograms_data();
    void unpackedLaunchersStartTheirPrograms();
    void metainfoIsValid();
};

void TestDebPackage::initTestCase()
{
    for (const char *tool : {"dpkg-deb", "dpkg-shlibdeps"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is missing, so no Debian package can be built here "
                                            "(apt-get install dpkg-dev)")
                                     .arg(QString::fromLatin1(tool))));
    }
    const Run cpack = run(QStringLiteral(CPACK_COMMAND_PATH),
                          {"-G", "DEB", "--config", QStringLiteral(BUILD_DIR "/CPackConfig.cmake"), "-B", work.path()},
                          QStringLiteral(BUILD_DIR));
    QVERIFY2(cpack.exitCode == 0, cpack.out + cpack.err);
    const QStringList built = QDir(work.path()).entryList({"*.deb"}, QDir::Files);
    QCOMPARE(built.size(), 1);
    package = work.filePath(built.first());

    const Run contents = run("dpkg-deb", {"-c", package});
    QCOMPARE(contents.exitCode, 0);
    for (const QString &line : QString::fromUtf8(contents.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // mode owner size date time path [-> target]
        QVERIFY2(fields.size() >= 6, qPrintable(line));
        modes.insert(fields.at(5), fields.at(0));
    }
    QCOMPARE(run("dpkg-deb", {"-x", package, work.filePath("root")}).exitCode, 0);
}

void TestDebPackage::packageIsNamedAfterNameVersionAndArchitecture()
{
    const QByteArray architecture = run("dpkg", {"--print-architecture"}).out.trimmed();
    QCOMPARE(QFileInfo(package).fileName(), "tressil_" TRESSIL_VERSION "_" + QString::fromUtf8(architecture) + ".deb");
    QCOMPARE(run("dpkg-deb", {"-f", package, "Package"}).out, QByteArray("tressil\n"));
    QCOMPARE(run("dpkg-deb", {"-f", package, "Version"}).out, QByteArray(TRESSIL_VERSION "\n"));
}

void TestDebPackage::packageHoldsEveryPart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mode");
    QTest::newRow("launcher of the program") << "./usr/bin/tressil"
                                             << "-rwxr-xr-x";
    QTest::newRow("command-line tool") << "./usr/bin/lumatrace"
                                       << "-rwxr-xr-x";
    QTest::newRow("package tool") << "./usr/bin/tressil-package"
                                  << "-rwxr-xr-x";
    QTest::newRow("program in its private folder") << "./usr/lib/tressil/tressil"
                                                   << "-rwxr-xr-x";
    QTest::newRow("plug-in beside the program") << "./usr/lib/tressil/libLumatrace1.so"
                                                << "-rw-r--r--";
    QTest::newRow("video module beside the plug-in") << "./usr/lib/tressil/libLumatraceVideo.so"
                                                     << "-rw-r--r--";
    QTest::newRow("studio beside the program") << "./usr/lib/tressil/app/application.js"
                                               << "-rw-r--r--";
    QTest::newRow("desktop entry") << "./usr/share/applications/lumatrace.desktop"
                                   << "-rw-r--r--";
    QTest::newRow("icon") << "./usr/share/icons/hicolor/scalable/apps/lumatrace.svg"
                          << "-rw-r--r--";
    QTest::newRow("AppStream metainfo") << "./usr/share/metainfo/org.tressil.lumatrace.metainfo.xml"
                                        << "-rw-r--r--";
    QTest::newRow("man page of tressil") << "./usr/share/man/man1/tressil.1.gz"
                                         << "-rw-r--r--";
    QTest::newRow("man page of lumatrace") << "./usr/share/man/man1/lumatrace.1.gz"
                                           << "-rw-r--r--";
    QTest::newRow("man page of the package tool") << "./usr/share/man/man1/tressil-package.1.gz"
                                                  << "-rw-r--r--";
    QTest::newRow("copyright") << "./usr/share/doc/tressil/copyright"
                               << "-rw-r--r--";
    QTest::newRow("changelog") << "./usr/share/doc/tressil/changelog.gz"
                               << "-rw-r--r--";
    QTest::newRow("private folder") << "./usr/lib/tressil/"
                                    << "drwxr-xr-x";
}

void TestDebPackage::packageHoldsEveryPart()
{
    QFETCH(QString, path);
    QFETCH(QString, mode);
    QVERIFY2(modes.contains(path), qPrintable(path));
    QCOMPARE(modes.value(path), mode);
}

void TestDebPackage::everyFileLiesBelowUsr()
{
    for (auto it = modes.cbegin(); it != modes.cend(); ++it)
        QVERIFY2(it.key() == "./" || it.key().startsWith("./usr/"), qPrintable(it.key()));
}

void TestDebPackage::dependsComeFromTheLinkedLibraries_data()
{
    QTest::addColumn<QString>("prefix"); // of a package name that must be among the dependencies
    QTest::newRow("C library") << "libc6";
    QTest::newRow("C++ library") << "libstdc++6";
    QTest::newRow("Qt core") << "libqt5core5a";
    QTest::newRow("Qt widgets") << "libqt5widgets5";
    QTest::newRow("Qt WebKit") << "libqt5webkit5";
    QTest::newRow("Qt SQL") << "libqt5sql5";
    QTest::newRow("Qt quick widgets of the plug-in") << "libqt5quickwidgets5";
    QTest::newRow("OpenCV core of the plug-in") << "libopencv-core";
    QTest::newRow("OpenCV imgproc of the plug-in") << "libopencv-imgproc";
    QTest::newRow("SQLite driver Qt loads at run time") << "libqt5sql5-sqlite";
    QTest::newRow("FFmpeg's encoders of the video module") << "libavcodec";
}

void TestDebPackage::dependsComeFromTheLinkedLibraries()
{
    QFETCH(QString, prefix);
    const QByteArray depends = run("dpkg-deb", {"-f", package, "Depends"}).out;
    const QStringList names = dependencyNames(depends);
    QVERIFY2(std::any_of(names.cbegin(), names.cend(),
                         [&prefix](const QString &name) { return name.startsWith(prefix); }),
             depends.constData());
    // Every dependency with a version is one dpkg-shlibdeps worked out.
    QVERIFY2(depends.contains("libqt5core5a (>= "), depends.constData());
}

void TestDebPackage::manPagesAreGzipped_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("tressil") << "tressil";
    QTest::newRow("lumatrace") << "lumatrace";
    QTest::newRow("tressil-package") << "tressil-package";
}

void TestDebPackage::manPagesAreGzipped()
{
    QFETCH(QString, page);
    const QString path = work.filePath("root/usr/share/man/man1/" + page + ".1.gz");
    const Run gunzip = run("gzip", {"-dc", path});
    QCOMPARE(gunzip.exitCode, 0);
    QVERIFY2(gunzip.out.startsWith(".TH " + page.toUpper().replace("-", "\\-").toUtf8() + " 1 "),
             gunzip.out.left(80).constData());
}

void TestDebPackage::unpackedLaunchersStartTheirPrograms_data()
{
    QTest::addColumn<QString>("launcher");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("tressil through its launcher")
            << "usr/bin/tressil" << QStringList {"--version"} << QByteArray("tressil " TRESSIL_VERSION "\n");
    QTest::newRow("lumatrace") << "usr/bin/lumatrace" << QStringList {"--help"} << QByteArray("Usage: lumatrace");
    QTest::newRow("tressil-package") << "usr/bin/tressil-package" << QStringList {"--help"}
                                     << QByteArray("Usage: tressil-package");
}

void TestDebPackage::unpackedLaunchersStartTheirPrograms()
{
    QFETCH(QString, launcher);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, start);
    const Run started = run(work.filePath("root/" + launcher), arguments, QDir::rootPath());
    QCOMPARE(started.exitCode, 0);
    QVERIFY2(started.out.startsWith(start), started.out.left(80).constData());
}

void TestDebPackage::metainfoIsValid()
{
    if (QStandardPaths::findExecutable("appstreamcli").isEmpty())
        QSKIP("appstreamcli is missing (apt-get install appstream)");
    const Run validate = run("appstreamcli",
                             {"validate", "--no-net", "--pedantic",
                              work.filePath("root/usr/share/metainfo/org.tressil.lumatrace.metainfo.xml")});
    QVERIFY2(validate.exitCode == 0, validate.out + validate.err);
    QVERIFY2(!validate.out.contains("P: ") && !validate.out.contains("W: "), validate.out.constData());
}

QTEST_GUILESS_MAIN(TestDebPackage)
#include "tst_debpackage.moc"
