// The tressil-package tool, run as a real process, on packages it made and on hostile ones
// built here from the record layout.
#include "ejpwrapper.h"
#include "payloadcipher.h"
#include "toolrunner.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ToolRun runTool(const QStringList &args)
{
    return runProgram(QStringLiteral(TRESSIL_BIN_DIR "/tressil-package"), args);
}

QByteArray le32(quint32 value)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian(value, field.data());
    return field;
}

enum class Damage { None, Name, Body };

QByteArray record(const QByteArray &name, const QByteArray &body, Damage damage = Damage::None)
{
    const PayloadCipher cipher(EJPWrapper::PackageKey);
    QByteArray cipheredName = cipher.encode(name);
    QByteArray cipheredBody = cipher.encode(body);
    QByteArray &damaged = damage == Damage::Name ? cipheredName : cipheredBody;
    if (damage != Damage::None)
        damaged[damaged.size() - 1] = char(damaged.at(damaged.size() - 1) ^ 0x5A);
    return le32(quint32(cipheredName.size())) + le32(quint32(cipheredBody.size())) + cipheredName + cipheredBody;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs the tool for at most timeoutMs; a run that takes longer is killed and
// has exit code -1.
ToolRun runToolWithin(const QStringList &args, int timeoutMs)
{
    QProcess process;
    process.start(QStringLiteral(TRESSIL_BIN_DIR "/tressil-package"), args);
    if (!process.waitForStarted(10000))
        return {};
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, process.readAllStandardOutput(), process.readAllStandardError()};
    }
    const bool normal = process.exitStatus() == QProcess::NormalExit;
    return {normal ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

// Runs the tool with files limited to limitBlocks blocks of the shell's ulimit
// (512 bytes for dash), as on a disk that fills up: a write past the limit
// fails with EFBIG instead of ending the program.
ToolRun runToolWithFileSizeLimit(const QStringList &args, int limitBlocks)
{
    return runProgram("/bin/sh",
                      QStringList {"-c",
                                   QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(limitBlocks),
                                   QStringLiteral(TRESSIL_BIN_DIR "/tressil-package")}
                              + args);
}

// The largest peak memory of the programs run so far, in bytes.
qint64 childrenPeakMemory()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Every path below root, relative, sorted; links are listed, not followed.
QStringList tree(const QString &root)
{
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(QDir(root).relativeFilePath(it.next()));
    paths.sort();
    return paths;
}

} // namespace

class TestPackageTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packedFolderListsVerifiesAndExtractsAsItWas();
    void packReportsNamesThatAreNotUtf8();
    void extractNeverWritesOutsideTheFolder_data();
    void extractNeverWritesOutsideTheFolder();
    void extractRefusesToWriteThroughALinkInTheFolder();
    void extractReplacesAHardLinkRatherThanWritingThroughIt();
    void failedWriteLeavesTheOldFileAsItWas();
    void extractKeepsThePermissionsOfAReplacedFile();
    void extractKeepsTheLaterOfRepeatedNamesAndSaysSo();
    void verifyNamesTheFirstBadRecord_data();
    void verifyNamesTheFirstBadRecord();
    void listShowsHostileNamesWithoutForgingLines();
    void listEscapesBidirectionalAndC1Characters();
    void zeroFilledFileIsRefusedQuicklyAndInLittleMemory();
    void pipeAsPackageIsRefusedWithoutBlocking();
    void packLeavesOutLinksToPipesAndOutsideTheFolder();
    void badUsageExitsTwo_data();
    void badUsageExitsTwo();
};

void TestPackageTool::packedFolderListsVerifiesAndExtractsAsItWas()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/index.html"), "<html></html>");
    writeFile(tmp.filePath("src/img/logo.png"), QByteArray(3000, '\x89'));
    writeFile(tmp.filePath("src/empty.txt"), QByteArray());
    const QString package = tmp.filePath("app.ejp");

    const ToolRun pack = runTool({"pack", tmp.filePath("src"), package});
    QCOMPARE(pack.err, QByteArray());
    QCOMPARE(pack.exitCode, 0);

    const ToolRun list = runTool({"list", package});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out,
             QByteArray("         0  /empty.txt\n"
                        "      3000  /img/logo.png\n"
                        "        13  /index.html\n"));

    const ToolRun verify = runTool({"verify", package});
    QCOMPARE(verify.exitCode, 0);
    QCOMPARE(verify.out, package.toUtf8() + ": 3 records, all intact\n");

    const ToolRun extract = runTool({"extract", package, tmp.filePath("out/deep")});
    QCOMPARE(extract.err, QByteArray());
    QCOMPARE(extract.exitCode, 0);
    QCOMPARE(tree(tmp.filePath("out/deep")), (QStringList {"empty.txt", "img", "img/logo.png", "index.html"}));
    QCOMPARE(readFile(tmp.filePath("out/deep/img/logo.png")), QByteArray(3000, '\x89'));
}

void TestPackageTool::packReportsNamesThatAreNotUtf8()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/ok.txt"), "ok");
    const int fd = ::open(QFile::encodeName(tmp.filePath("src")).append("/caf\xE9.txt").constData(), O_WRONLY | O_CREAT,
                          0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    const ToolRun pack = runTool({"pack", tmp.filePath("src"), tmp.filePath("p.ejp")});
    QCOMPARE(pack.exitCode, 1);
    QCOMPARE(pack.err,
             "tressil-package: left out " + tmp.filePath("src").toUtf8()
                     + "/caf\\xE9.txt: the name is not valid UTF-8\n");
    QCOMPARE(runTool({"list", tmp.filePath("p.ejp")}).out, QByteArray("         2  /ok.txt\n"));
}

void TestPackageTool::extractNeverWritesOutsideTheFolder_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("problem");
    QTest::newRow("dot-dot to the folder's parent") << QByteArray("/../escape.txt") << QByteArray("it has a '..' part");
    QTest::newRow("dot-dot after a folder") << QByteArray("/sub/../../escape.txt") << QByteArray("it has a '..' part");
    QTest::newRow("doubled slash as an absolute path")
            << QByteArray("//tmp/escape.txt") << QByteArray("it has an empty part");
    QTest::newRow("name without a leading slash")
            << QByteArray("escape.txt") << QByteArray("it does not start with '/'");
    QTest::newRow("dot part") << QByteArray("/sub/./x.txt") << QByteArray("it has a '.' part");
    QTest::newRow("the folder itself") << QByteArray("/") << QByteArray("it has an empty part");
    QTest::newRow("empty name") << QByteArray() << QByteArray("it does not start with '/'");
    QTest::newRow("backslashed dot-dot") << QByteArray("/..\\escape.txt") << QByteArray("it holds a backslash");
    QTest::newRow("NUL inside the name") << QByteArray("/ok.txt\0/../../x", 16)
                                         << QByteArray("it holds a NUL character");
}

void TestPackageTool::extractNeverWritesOutsideTheFolder()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, problem);
    QTemporaryDir tmp;
    writeFile(tmp.filePath("p.ejp"), record("/ok.txt", "ok") + record(name, "hostile") + record("/z.txt", "z"));
    const ToolRun extract = runTool({"extract", tmp.filePath("p.ejp"), tmp.filePath("out")});
    QCOMPARE(extract.exitCode, 1);
    QCOMPARE(extract.err.count('\n'), 1);
    QVERIFY2(extract.err.contains("record 2 at byte 63: name '"), extract.err.constData());
    QVERIFY2(extract.err.endsWith("' refused: " + problem + "\n"), extract.err.constData());
    QCOMPARE(tree(tmp.path()), (QStringList {"out", "out/ok.txt", "out/z.txt", "p.ejp"}));
}

void TestPackageTool::extractRefusesToWriteThroughALinkInTheFolder()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath("out"));
    QVERIFY(QDir(tmp.path()).mkpath("outside"));
    QVERIFY(QFile::link(tmp.filePath("outside"), tmp.filePath("out/linked")));
    QVERIFY(QFile::link(tmp.filePath("outside/target.txt"), tmp.filePath("out/file.txt")));
    writeFile(tmp.filePath("p.ejp"), record("/linked/x.txt", "through") + record("/file.txt", "onto"));
    const ToolRun extract = runTool({"extract", tmp.filePath("p.ejp"), tmp.filePath("out")});
    QCOMPARE(extract.exitCode, 1);
    QCOMPARE(extract.err.count('\n'), 2);
    QVERIFY2(extract.err.contains(tmp.filePath("out/linked").toUtf8() + " is a symbolic link"),
             extract.err.constData());
    QCOMPARE(tree(tmp.filePath("outside")), QStringList());
}

void TestPackageTool::extractReplacesAHardLinkRatherThanWritingThroughIt()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("outside/secret.txt"), "outside");
    QVERIFY(QDir(tmp.path()).mkpath("out"));
    QVERIFY(::link(QFile::encodeName(tmp.filePath("outside/secret.txt")).constData(),
                   QFile::encodeName(tmp.filePath("out/file.txt")).constData())
            == 0);
    writeFile(tmp.filePath("p.ejp"), record("/file.txt", "from the package"));
    const ToolRun extract = runTool({"extract", tmp.filePath("p.ejp"), tmp.filePath("out")});
    QCOMPARE(extract.err, QByteArray());
    QCOMPARE(extract.exitCode, 0);
    QCOMPARE(readFile(tmp.filePath("out/file.txt")), QByteArray("from the package"));
    QCOMPARE(readFile(tmp.filePath("outside/secret.txt")), QByteArray("outside"));
    QCOMPARE(tree(tmp.filePath("out")), QStringList {"file.txt"});
}

void TestPackageTool::failedWriteLeavesTheOldFileAsItWas()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("out/big.bin"), "old content");
    writeFile(tmp.filePath("out/sub/other.txt"), "other old content");
    // 64 KB bodies cannot be written within 20 blocks.
    writeFile(tmp.filePath("p.ejp"),
              record("/big.bin", QByteArray(64 * 1024, 'n')) + record("/small.txt", "fits")
                      + record("/sub/other.txt", QByteArray(64 * 1024, 'o')));
    const ToolRun extract = runToolWithFileSizeLimit({"extract", tmp.filePath("p.ejp"), tmp.filePath("out")}, 20);
    QCOMPARE(extract.exitCode, 1);
    QCOMPARE(extract.err.count('\n'), 2);
    QVERIFY2(extract.err.contains(tmp.filePath("out/big.bin").toUtf8() + ": File too large"), extract.err.constData());
    QCOMPARE(readFile(tmp.filePath("out/big.bin")), QByteArray("old content"));
    QCOMPARE(readFile(tmp.filePath("out/sub/other.txt")), QByteArray("other old content"));
    QCOMPARE(readFile(tmp.filePath("out/small.txt")), QByteArray("fits"));
    // No temporary file is left behind.
    QCOMPARE(tree(tmp.filePath("out")), (QStringList {"big.bin", "small.txt", "sub", "sub/other.txt"}));
}

void TestPackageTool::extractKeepsThePermissionsOfAReplacedFile()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("out/private.txt"), "old");
    QVERIFY(::chmod(QFile::encodeName(tmp.filePath("out/private.txt")).constData(), 0600) == 0);
    writeFile(tmp.filePath("p.ejp"), record("/private.txt", "new") + record("/fresh.txt", "fresh"));
    QCOMPARE(runTool({"extract", tmp.filePath("p.ejp"), tmp.filePath("out")}).exitCode, 0);
    QCOMPARE(readFile(tmp.filePath("out/private.txt")), QByteArray("new"));
    struct stat info {
    };
    QVERIFY(::stat(QFile::encodeName(tmp.filePath("out/private.txt")).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QVERIFY(::stat(QFile::encodeName(tmp.filePath("out/fresh.txt")).constData(), &info) == 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0644 & ~mask));
}

void TestPackageTool::extractKeepsTheLaterOfRepeatedNamesAndSaysSo()
{
    QTemporaryDir tmp;
    const QByteArray first = record("/a.txt", "first");
    writeFile(tmp.filePath("p.ejp"), first + record("/a.txt", "second"));
    const ToolRun extract = runTool({"extract", tmp.filePath("p.ejp"), tmp.filePath("out")});
    QCOMPARE(extract.exitCode, 1);
    QCOMPARE(extract.err,
             "tressil-package: " + tmp.filePath("p.ejp").toUtf8() + ": record 2 at byte "
                     + QByteArray::number(first.size())
                     + ": name '/a.txt' repeats record 1; the later entry is kept\n");
    QCOMPARE(readFile(tmp.filePath("out/a.txt")), QByteArray("second"));
    // The host loads the same.
    EJPWrapper host;
    host.load(tmp.filePath("p.ejp"));
    QCOMPARE(host.data("/a.txt"), QByteArray("second"));
}

void TestPackageTool::verifyNamesTheFirstBadRecord_data()
{
    // Records of "/a" with body "1" are 8 + 25 + 24 = 57 bytes.
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message"); // after "tressil-package: FILE: " or "FILE: "
    QTest::newRow("intact hostile names still decipher")
            << record("/../x", "1") + record("/../x", "2") << 0 << QByteArray("2 records, all intact");
    QTest::newRow("damaged body of the second record")
            << record("/a", "1") + record("/b", "2", Damage::Body) + record("/c", "3", Damage::Name) << 1
            << QByteArray("record 2 at byte 57: the body of '/b' does not decipher");
    QTest::newRow("damaged name") << record("/a", "1") + record("/b", "2", Damage::Name) << 1
                                  << QByteArray("record 2 at byte 57: the name does not decipher");
    QTest::newRow("name that is not UTF-8")
            << record("/a\xff", "1") << 1 << QByteArray("record 1 at byte 0: the name '/a\\xFF' is not valid UTF-8");
    QTest::newRow("last record cut short") << record("/a", "1") + record("/b", "2").left(30) << 1
                                           << QByteArray("record 2 at byte 57: cut short, the package ends at byte 87");
    QTest::newRow("empty package") << QByteArray() << 0 << QByteArray("0 records, all intact");
}

void TestPackageTool::verifyNamesTheFirstBadRecord()
{
    QFETCH(QByteArray, package);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    QTemporaryDir tmp;
    writeFile(tmp.filePath("p.ejp"), package);
    const ToolRun verify = runTool({"verify", tmp.filePath("p.ejp")});
    QCOMPARE(verify.exitCode, exitCode);
    const QByteArray prefix = tmp.filePath("p.ejp").toUtf8() + ": ";
    if (exitCode == 0)
        QCOMPARE(verify.out, prefix + message + "\n");
    else
        QCOMPARE(verify.err, "tressil-package: " + prefix + message + "\n");
}

void TestPackageTool::listShowsHostileNamesWithoutForgingLines()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("p.ejp"), record("/a\n         9  /forged", "x") + record("/b\\c\x1b[2J", "yz"));
    const ToolRun list = runTool({"list", tmp.filePath("p.ejp")});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out,
             QByteArray("         1  /a\\x0A         9  /forged\n"
                        "         2  /b\\x5Cc\\x1B[2J\n"));
}

void TestPackageTool::listEscapesBidirectionalAndC1Characters()
{
    QTemporaryDir tmp;
    // U+202E would show "/invoice-\u202Etxt.exe" as "/invoice-exe.txt"; U+009B is the
    // one-character CSI of some terminals.
    writeFile(
            tmp.filePath("p.ejp"),
            record("/invoice-\xE2\x80\xAEtxt.exe", "1")
                    + record("/b\xC2\x9B"
                             "2J",
                             "2")
                    + record("/\xE2\x81\xA6isolated\xE2\x81\xA9 \xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xAC\xE2\x80\xAD", "3")
                    + record("/line\xE2\x80\xA8sep \xE2\x80\x8F\xC2\x85 caf\xC3\xA9", "4"));
    const ToolRun list = runTool({"list", tmp.filePath("p.ejp")});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out,
             QByteArray("         1  /invoice-\\u202Etxt.exe\n"
                        "         1  /b\\u009B2J\n"
                        "         1  /\\u2066isolated\\u2069 \\u202A\\u202B\\u202C\\u202D\n"
                        "         1  /line\\u2028sep \\u200F\\u0085 caf\xC3\xA9\n"));
}

void TestPackageTool::zeroFilledFileIsRefusedQuicklyAndInLittleMemory()
{
    // 480 MB of zeros read as 60 million empty records; sparse, so the file is free.
    QTemporaryDir tmp;
    const QString package = tmp.filePath("zeros.ejp");
    writeFile(package, QByteArray());
    QVERIFY(QFile(package).resize(480LL * 1000 * 1000));
    for (const char *command : {"list", "verify", "extract"}) {
        QStringList args {command, package};
        if (QByteArray(command) == "extract")
            args.append(tmp.filePath("out"));
        QElapsedTimer timer;
        timer.start();
        const ToolRun run = runToolWithin(args, 30000);
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err,
                 "tressil-package: " + package.toUtf8()
                         + ": cannot read the package: not a package: 8888889 records in its first 71111112 bytes, "
                           "but a record takes at least 54 bytes\n");
    }
    QVERIFY2(childrenPeakMemory() < 256LL * 1024 * 1024, qPrintable(QString::number(childrenPeakMemory())));
    QVERIFY(!QFileInfo::exists(tmp.filePath("out")));
}

void TestPackageTool::pipeAsPackageIsRefusedWithoutBlocking()
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("p.ejp");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const ToolRun list = runToolWithin({"list", fifo}, 10000);
    QCOMPARE(list.exitCode, 1);
    QCOMPARE(list.err, "tressil-package: " + fifo.toUtf8() + ": cannot read the package: not a regular file\n");
}

void TestPackageTool::packLeavesOutLinksToPipesAndOutsideTheFolder()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "a");
    writeFile(tmp.filePath("home/.ssh/id_rsa"), "key");
    QVERIFY(::mkfifo(QFile::encodeName(tmp.filePath("src/pipe")).constData(), 0600) == 0);
    QVERIFY(QFile::link("pipe", tmp.filePath("src/to-pipe")));
    QVERIFY(QFile::link("../home/.ssh", tmp.filePath("src/ssh")));
    const ToolRun pack = runToolWithin({"pack", tmp.filePath("src"), tmp.filePath("p.ejp")}, 10000);
    QCOMPARE(pack.exitCode, 1);
    const QByteArray src = tmp.filePath("src").toUtf8();
    QCOMPARE(pack.err,
             "tressil-package: left out " + src + "/pipe: not a regular file or folder\n" + "tressil-package: left out "
                     + src + "/ssh: a symbolic link to "
                     + QFileInfo(tmp.filePath("home/.ssh")).canonicalFilePath().toUtf8() + ", outside the folder\n"
                     + "tressil-package: left out " + src + "/to-pipe: not a regular file or folder\n");
    QCOMPARE(runTool({"list", tmp.filePath("p.ejp")}).out, QByteArray("         1  /a.txt\n"));
}

void TestPackageTool::badUsageExitsTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList {"unpack", "a.ejp"};
    QTest::newRow("missing argument") << QStringList {"extract", "a.ejp"};
    QTest::newRow("extra argument") << QStringList {"verify", "a.ejp", "b.ejp"};
}

void TestPackageTool::badUsageExitsTwo()
{
    QFETCH(QStringList, arguments);
    const ToolRun run = runTool(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(run.err.startsWith("tressil-package: "));
    QCOMPARE(run.out, QByteArray());
}

QTEST_GUILESS_MAIN(TestPackageTool)
#include "tst_packagetool.moc"
