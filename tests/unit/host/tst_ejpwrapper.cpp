#include "ejpwrapper.h"
#include "payloadcipher.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Entries = QMap<QString, QByteArray>;

enum class Damage { None, Name, Body };

struct RawRecord {
    QByteArray name;
    QByteArray body;
};

QByteArray le32(quint32 value)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian(value, field.data());
    return field;
}

QByteArray damaged(QByteArray ciphered)
{
    ciphered[ciphered.size() - 1] = char(ciphered.at(ciphered.size() - 1) ^ 0x5A);
    return ciphered;
}

// One package record, built here from the byte layout rather than by the
// class under test.
QByteArray record(const QByteArray &name, const QByteArray &body, Damage damage = Damage::None)
{
    const PayloadCipher cipher(EJPWrapper::PackageKey);
    QByteArray cipheredName = cipher.encode(name);
    QByteArray cipheredBody = cipher.encode(body);
    if (damage == Damage::Name)
        cipheredName = damaged(cipheredName);
    if (damage == Damage::Body)
        cipheredBody = damaged(cipheredBody);
    return le32(cipheredName.size()) + le32(cipheredBody.size()) + cipheredName + cipheredBody;
}

QList<RawRecord> splitRecords(const QByteArray &package)
{
    QList<RawRecord> records;
    qint64 pos = 0;
    while (pos + 8 <= package.size()) {
        const qint64 n = qFromLittleEndian<quint32>(package.constData() + pos);
        const qint64 d = qFromLittleEndian<quint32>(package.constData() + pos + 4);
        if (pos + 8 + n + d > package.size())
            break;
        records.append({package.mid(pos + 8, n), package.mid(pos + 8 + n, d)});
        pos += 8 + n + d;
    }
    return records;
}

QStringList namesInOrder(const QByteArray &package)
{
    const PayloadCipher cipher(EJPWrapper::PackageKey);
    QStringList names;
    for (const RawRecord &r : splitRecords(package))
        names.append(QString::fromUtf8(cipher.decode(r.name)));
    return names;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// Creates each path below root; a path ending in "/" is an empty directory.
void makeTree(const QString &root, const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.endsWith(QLatin1Char('/')))
            QDir(root).mkpath(path);
        else
            writeFile(root + QLatin1Char('/') + path, path.toUtf8());
    }
}

// Entries as "name=hex" lines, so a failed comparison shows the difference.
QStringList describe(const Entries &entries)
{
    QStringList lines;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        lines.append(it.key() + QLatin1Char('=') + QString::fromLatin1(it.value().toHex()));
    return lines;
}

Entries entriesAfterLoading(const QByteArrayList &packages)
{
    EJPWrapper wrapper;
    for (const QByteArray &package : packages)
        wrapper.loadData(package);
    return wrapper.entries();
}

// A file of size zero bytes that takes no disk space.
void makeSparseFile(const QString &path, qint64 size)
{
    writeFile(path, QByteArray());
    QVERIFY(QFile(path).resize(size));
}

// The peak memory of this process so far, in bytes.
qint64 peakMemory()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Runs work, which may block opening the pipe fifo for reading, for at most
// a few seconds. When it is still blocked, the pipe is opened for writing so
// that it can finish; the result tells that it blocked.
bool finishesWithoutBlockingOn(const QString &fifo, const std::function<void()> &work)
{
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return true;
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    done.wait();
    if (writer >= 0)
        ::close(writer);
    return false;
}

QStringList leftOutLines(const EJPWrapper::WrapResult &result)
{
    QStringList lines;
    for (const EJPWrapper::WrapResult::LeftOut &entry : result.leftOut)
        lines.append(entry.name + QStringLiteral(": ") + entry.reason);
    return lines;
}

QByteArray randomBytes(QRandomGenerator &random, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

} // namespace

class TestEJPWrapper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void directoryWithOneTwoByteFilePacksIntoSixtyTwoBytes();
    void packWalksDepthFirstIgnoringCase_data();
    void packWalksDepthFirstIgnoringCase();
    void emptyDirectoryPacksToEmptyFileThatLoadsNothing();
    void packThenLoadGivesBackEveryFileByteForByte();
    void packReadsFilesThroughRelativeDirectoryPath();
    void packFollowsNoSymbolicLinkLoop();
    void packWalksEveryFolderOnceHoweverManyLinksLeadThere();
    void packLeavesOutAndReportsLinksLeadingOutsideTheFolder();
    void packKeepsLinksInsideTheFolderUnderTheirNames();
    void packNeverOpensAPipeEvenThroughALink();
    void packReportsWhatIsNeitherFileNorFolder();
    void unreadableFileIsPackedWithEmptyBody();
    void packageAboveTheLimitIsRefusedLeavingTheOldFile_data();
    void packageAboveTheLimitIsRefusedLeavingTheOldFile();
    void twoSparseGigabyteFilesAreRefusedWithoutBeingRead();
    void namesThatAreNotUtf8AreReportedAndTheRestPacked();
    void unwritablePackageIsReported();
    void wrapLeavesLoadedEntriesUntouched();
    void loadingSamePackageTwiceLeavesSameContent();
    void laterPackageAddsEntriesAndReplacesSameNames();
    void lookupsAreCaseSensitive();
    void packageWithTruncatedLastRecordKeepsEarlierEntries_data();
    void packageWithTruncatedLastRecordKeepsEarlierEntries();
    void lengthsPastEndEndReading_data();
    void lengthsPastEndEndReading();
    void damagedRecordsAreStoredWithoutHarmingIntactEntries_data();
    void damagedRecordsAreStoredWithoutHarmingIntactEntries();
    void unreadablePackageLoadsNothing_data();
    void unreadablePackageLoadsNothing();
    void packageThatIsAPipeIsRefusedWithoutBlocking();
    void recordCountTheSizeCannotHoldIsRefused_data();
    void recordCountTheSizeCannotHoldIsRefused();
    void zeroFilledFileIsRefusedBeforeItIsRead();
    void loaderSurvivesRandomAndMutatedPackages_data();
    void loaderSurvivesRandomAndMutatedPackages();
};

void TestEJPWrapper::directoryWithOneTwoByteFilePacksIntoSixtyTwoBytes()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "hi");
    EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));

    const QByteArray package = readFile(tmp.filePath("p.ejp"));
    QCOMPARE(package.size(), 62);
    QCOMPARE(package.left(8), le32(29) + le32(25));
    const PayloadCipher cipher(EJPWrapper::PackageKey);
    QCOMPARE(cipher.decode(package.mid(8, 29)), QByteArray("/a.txt"));
    QCOMPARE(cipher.decode(package.mid(37, 25)), QByteArray("hi"));
}

void TestEJPWrapper::packWalksDepthFirstIgnoringCase_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("subfolder b is walked after a.txt")
            << QStringList {"b/c.txt", "a.txt"} << QStringList {"/a.txt", "/b/c.txt"};
    QTest::newRow("a.txt comes before B.txt") << QStringList {"B.txt", "a.txt"} << QStringList {"/a.txt", "/B.txt"};
    QTest::newRow("directories are not listed first")
            << QStringList {"z.txt", "m/x.txt", "a.txt"} << QStringList {"/a.txt", "/m/x.txt", "/z.txt"};
    QTest::newRow("subfolder A is walked before b.txt")
            << QStringList {"b.txt", "A/c.txt"} << QStringList {"/A/c.txt", "/b.txt"};
    QTest::newRow("nested levels are walked depth first")
            << QStringList {"a/b/c.txt", "a/a.txt", "a/c.txt", "b.txt"}
            << QStringList {"/a/a.txt", "/a/b/c.txt", "/a/c.txt", "/b.txt"};
    QTest::newRow("hidden files and folders are left out")
            << QStringList {".hidden", ".git/x", "a.txt"} << QStringList {"/a.txt"};
    QTest::newRow("empty subfolder adds no record") << QStringList {"e/", "f.txt"} << QStringList {"/f.txt"};
    QTest::newRow("names equal but for case come in code order")
            << QStringList {"a.txt", "A.txt"} << QStringList {"/A.txt", "/a.txt"};
    QTest::newRow("name beyond ASCII is kept") << QStringList {QString::fromUtf8("caf\xC3\xA9.txt")}
                                               << QStringList {QString::fromUtf8("/caf\xC3\xA9.txt")};
}

void TestEJPWrapper::packWalksDepthFirstIgnoringCase()
{
    QFETCH(QStringList, tree);
    QFETCH(QStringList, expected);
    QTemporaryDir tmp;
    makeTree(tmp.filePath("src"), tree);
    EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QCOMPARE(namesInOrder(readFile(tmp.filePath("p.ejp"))), expected);
}

void TestEJPWrapper::emptyDirectoryPacksToEmptyFileThatLoadsNothing()
{
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkdir("src"));
    EJPWrapper wrapper;
    wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QVERIFY(QFile::exists(tmp.filePath("p.ejp")));
    QCOMPARE(QFileInfo(tmp.filePath("p.ejp")).size(), qint64(0));
    wrapper.load(tmp.filePath("p.ejp"));
    QVERIFY(wrapper.entries().isEmpty());
}

void TestEJPWrapper::packThenLoadGivesBackEveryFileByteForByte()
{
    QTemporaryDir tmp;
    QRandomGenerator random(6);
    const Entries files {{"/application.js", "function main(args) {}\n"},
                         {"/empty.txt", QByteArray()},
                         {"/img/logo.png", randomBytes(random, 70000)},
                         {"/img/deep/zero.bin", QByteArray(300, '\0')},
                         {"/index.html", "<html></html>"}};
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        writeFile(tmp.filePath("src") + it.key(), it.value());

    // The package is written after the walk, so it does not hold itself.
    EJPWrapper wrapper;
    wrapper.wrap(tmp.filePath("src"), tmp.filePath("src/app.ejp"));
    wrapper.load(tmp.filePath("src/app.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe(files));
}

void TestEJPWrapper::packReadsFilesThroughRelativeDirectoryPath()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/sub/a.txt"), "relative");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));
    EJPWrapper wrapper;
    wrapper.wrap("src", "p.ejp");
    wrapper.load("p.ejp");
    QVERIFY(QDir::setCurrent(previous));
    QCOMPARE(describe(wrapper.entries()), describe({{"/sub/a.txt", "relative"}}));
}

void TestEJPWrapper::packFollowsNoSymbolicLinkLoop()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/d/a.txt"), "x");
    QVERIFY(QFile::link(tmp.filePath("src"), tmp.filePath("src/d/up")));
    const EJPWrapper::WrapResult result = EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QCOMPARE(namesInOrder(readFile(tmp.filePath("p.ejp"))), QStringList {"/d/a.txt"});
    QCOMPARE(leftOutLines(result), QStringList {"/d/up: a second name of the folder packed as /"});
    QVERIFY(result.written);
    QVERIFY(!result.complete());
}

void TestEJPWrapper::packWalksEveryFolderOnceHoweverManyLinksLeadThere()
{
    // Two links in every level to the next: 2^16 paths lead to the one file.
    QTemporaryDir tmp;
    const int levels = 16;
    for (int i = 1; i <= levels; ++i)
        QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("src/L%1").arg(i))));
    writeFile(tmp.filePath(QStringLiteral("src/L%1/f.txt").arg(levels)), "f");
    QVERIFY(QFile::link("L1", tmp.filePath("src/a")));
    QVERIFY(QFile::link("L1", tmp.filePath("src/b")));
    // The same through a hidden folder, which is walked only where a link leads.
    writeFile(tmp.filePath(QStringLiteral("src/.hidden/H%1/g.txt").arg(levels)), "g");
    QVERIFY(QFile::link(".hidden/H1", tmp.filePath("src/h")));
    QVERIFY(QFile::link(".hidden/H1", tmp.filePath("src/i")));
    for (int i = 1; i < levels; ++i) {
        QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("src/.hidden/H%1").arg(i))));
        for (const char *link : {"/a", "/b"}) {
            QVERIFY(QFile::link(QStringLiteral("../L%1").arg(i + 1),
                                tmp.filePath(QStringLiteral("src/L%1%2").arg(i).arg(link))));
            QVERIFY(QFile::link(QStringLiteral("../H%1").arg(i + 1),
                                tmp.filePath(QStringLiteral("src/.hidden/H%1%2").arg(i).arg(link))));
        }
    }
    QElapsedTimer timer;
    timer.start();
    EJPWrapper wrapper;
    const EJPWrapper::WrapResult result = wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(result.written);
    // Each folder under its own name, the hidden ones under the first link to them.
    const QString hiddenPath = "/h" + QStringLiteral("/a").repeated(levels - 1);
    QCOMPARE(namesInOrder(readFile(tmp.filePath("p.ejp"))),
             (QStringList {hiddenPath + "/g.txt", QStringLiteral("/L%1/f.txt").arg(levels)}));
    // Every link but the first to each hidden folder is a second name.
    QCOMPARE(result.leftOut.size(), 2 + 1 + 2 * (levels - 1) + (levels - 1));
    QVERIFY(leftOutLines(result).contains("/a: a second name of the folder packed as /L1"));
    QVERIFY(leftOutLines(result).contains("/L1/b: a second name of the folder packed as /L2"));
    QVERIFY(leftOutLines(result).contains("/i: a second name of the folder packed as /h"));
    QVERIFY(leftOutLines(result).contains("/h/b: a second name of the folder packed as /h/a"));
}

void TestEJPWrapper::packLeavesOutAndReportsLinksLeadingOutsideTheFolder()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("home/.ssh/id_rsa"), "private key");
    writeFile(tmp.filePath("src/a.txt"), "a");
    QVERIFY(QFile::link(tmp.filePath("home/.ssh"), tmp.filePath("src/ssh")));
    QVERIFY(QFile::link("../home/.ssh/id_rsa", tmp.filePath("src/key")));
    // A link that leaves and comes back in still leads inside.
    QVERIFY(QFile::link("../src/a.txt", tmp.filePath("src/back.txt")));
    QVERIFY(QFile::link("missing", tmp.filePath("src/dangling")));
    EJPWrapper wrapper;
    const EJPWrapper::WrapResult result = wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QVERIFY(result.written);
    QVERIFY(!result.complete());
    const QString home = QFileInfo(tmp.filePath("home")).canonicalFilePath();
    QCOMPARE(leftOutLines(result),
             (QStringList {"/dangling: a symbolic link that leads nowhere",
                           "/key: a symbolic link to " + home + "/.ssh/id_rsa, outside the folder",
                           "/ssh: a symbolic link to " + home + "/.ssh, outside the folder"}));
    wrapper.load(tmp.filePath("p.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe({{"/a.txt", "a"}, {"/back.txt", "a"}}));
}

void TestEJPWrapper::packKeepsLinksInsideTheFolderUnderTheirNames()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/v2.js"), "two");
    writeFile(tmp.filePath("src/.build/lib/x.js"), "x");
    QVERIFY(QFile::link("v2.js", tmp.filePath("src/latest.js")));
    QVERIFY(QFile::link(".build/lib", tmp.filePath("src/lib")));
    // The packed folder named through a link is packed as itself.
    QVERIFY(QFile::link(tmp.filePath("src"), tmp.filePath("alias")));
    EJPWrapper wrapper;
    const EJPWrapper::WrapResult result = wrapper.wrap(tmp.filePath("alias"), tmp.filePath("p.ejp"));
    QVERIFY(result.complete());
    wrapper.load(tmp.filePath("p.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe({{"/latest.js", "two"}, {"/lib/x.js", "x"}, {"/v2.js", "two"}}));
}

void TestEJPWrapper::packNeverOpensAPipeEvenThroughALink()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "a");
    const QString fifo = tmp.filePath("src/pipe");
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QVERIFY(QFile::link("pipe", tmp.filePath("src/to-pipe")));
    EJPWrapper wrapper;
    EJPWrapper::WrapResult result;
    QVERIFY2(
            finishesWithoutBlockingOn(fifo, [&] { result = wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp")); }),
            "packing blocked on the pipe");
    QVERIFY(result.written);
    QCOMPARE(leftOutLines(result),
             (QStringList {"/pipe: not a regular file or folder", "/to-pipe: not a regular file or folder"}));
    QCOMPARE(result.unreadable, QStringList());
    QCOMPARE(namesInOrder(readFile(tmp.filePath("p.ejp"))), QStringList {"/a.txt"});
}

void TestEJPWrapper::packReportsWhatIsNeitherFileNorFolder()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "a");
    QVERIFY(QFile::link("/dev/zero", tmp.filePath("src/zero")));
    const EJPWrapper::WrapResult result = EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QCOMPARE(leftOutLines(result), QStringList {"/zero: a symbolic link to /dev/zero, outside the folder"});
    QCOMPARE(namesInOrder(readFile(tmp.filePath("p.ejp"))), QStringList {"/a.txt"});
}

void TestEJPWrapper::unreadableFileIsPackedWithEmptyBody()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "secret");
    QFile::setPermissions(tmp.filePath("src/a.txt"), QFileDevice::Permissions());
    if (QFile(tmp.filePath("src/a.txt")).open(QIODevice::ReadOnly))
        QSKIP("this user reads files without read permission");
    EJPWrapper wrapper;
    const EJPWrapper::WrapResult result = wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QVERIFY(result.written);
    QCOMPARE(result.unreadable, QStringList {"/a.txt"});
    QVERIFY(!result.complete());
    wrapper.load(tmp.filePath("p.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe({{"/a.txt", QByteArray()}}));
}

void TestEJPWrapper::packageAboveTheLimitIsRefusedLeavingTheOldFile_data()
{
    // Two records of 8 + (23 + 6) + (23 + 10) = 70 bytes each.
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<bool>("written");
    QTest::newRow("package of exactly the limit is written") << qint64(140) << true;
    QTest::newRow("package one byte above the limit is refused") << qint64(139) << false;
    QTest::newRow("zero limit refuses any file") << qint64(0) << false;
}

void TestEJPWrapper::packageAboveTheLimitIsRefusedLeavingTheOldFile()
{
    QFETCH(qint64, limit);
    QFETCH(bool, written);
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "0123456789");
    writeFile(tmp.filePath("src/b.txt"), "abcdefghij");
    writeFile(tmp.filePath("p.ejp"), "old package");
    const EJPWrapper::WrapResult result = EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("p.ejp"), limit);
    QCOMPARE(result.written, written);
    if (written) {
        QCOMPARE(result.error, QString());
        QCOMPARE(readFile(tmp.filePath("p.ejp")).size(), 140);
    } else {
        QCOMPARE(result.error,
                 QStringLiteral("the package would take 140 bytes, more than the %1 a package may hold").arg(limit));
        QCOMPARE(readFile(tmp.filePath("p.ejp")), QByteArray("old package"));
    }
}

void TestEJPWrapper::twoSparseGigabyteFilesAreRefusedWithoutBeingRead()
{
    // Each fits a byte array, both together do not; sparse files take no disk space.
    QTemporaryDir tmp;
    const qint64 size = 1100 * 1000 * 1000;
    for (const char *name : {"src/a.bin", "src/b.bin"}) {
        writeFile(tmp.filePath(name), QByteArray());
        QVERIFY(QFile(tmp.filePath(name)).resize(size));
    }
    const EJPWrapper::WrapResult result = EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QVERIFY(!result.written);
    QCOMPARE(result.error,
             QStringLiteral("the package would take %1 bytes, more than the %2 a package may hold")
                     .arg(2 * (8 + 29 + 23 + size))
                     .arg(EJPWrapper::MaxPackageSize));
    QVERIFY(!QFile::exists(tmp.filePath("p.ejp")));
}

void TestEJPWrapper::namesThatAreNotUtf8AreReportedAndTheRestPacked()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/ok.txt"), "ok");
    const QByteArray src = QFile::encodeName(tmp.filePath("src"));
    // Names in Latin-1, as an old archive or another system leaves them.
    const QByteArray file = src + "/caf\xE9.txt";
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    QVERIFY(::mkdir((src + "/d\xFF").constData(), 0755) == 0);
    QVERIFY(::mkdir((src + "/sub").constData(), 0755) == 0);
    QVERIFY(::mkdir((src + "/sub/\xC3(").constData(), 0755) == 0);

    EJPWrapper wrapper;
    const EJPWrapper::WrapResult result = wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QVERIFY(result.written);
    QCOMPARE(result.skipped, (QStringList {"/caf\\xE9.txt", "/d\\xFF", "/sub/\\xC3("}));
    QVERIFY(!result.complete());
    wrapper.load(tmp.filePath("p.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe({{"/ok.txt", "ok"}}));
}

void TestEJPWrapper::unwritablePackageIsReported()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/a.txt"), "a");
    const EJPWrapper::WrapResult result = EJPWrapper().wrap(tmp.filePath("src"), tmp.filePath("none/p.ejp"));
    QVERIFY(!result.written);
    QVERIFY2(result.error.startsWith("cannot write " + tmp.filePath("none/p.ejp") + ": "), qPrintable(result.error));
}

void TestEJPWrapper::wrapLeavesLoadedEntriesUntouched()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("src/b.txt"), "packed");
    EJPWrapper wrapper;
    wrapper.loadData(record("/a.txt", "loaded"));
    wrapper.wrap(tmp.filePath("src"), tmp.filePath("p.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe({{"/a.txt", "loaded"}}));
}

void TestEJPWrapper::loadingSamePackageTwiceLeavesSameContent()
{
    QTemporaryDir tmp;
    writeFile(tmp.filePath("p.ejp"), record("/a.txt", "one") + record("/b/c.txt", "two"));
    EJPWrapper wrapper;
    wrapper.load(tmp.filePath("p.ejp"));
    wrapper.load(tmp.filePath("p.ejp"));
    QCOMPARE(describe(wrapper.entries()), describe({{"/a.txt", "one"}, {"/b/c.txt", "two"}}));
}

void TestEJPWrapper::laterPackageAddsEntriesAndReplacesSameNames()
{
    const Entries loaded
            = entriesAfterLoading({record("/a", "1") + record("/b", "1"), record("/b", "2") + record("/c", "2")});
    QCOMPARE(describe(loaded), describe({{"/a", "1"}, {"/b", "2"}, {"/c", "2"}}));
}

void TestEJPWrapper::lookupsAreCaseSensitive()
{
    EJPWrapper wrapper;
    wrapper.loadData(record("/a.txt", "body"));
    QVERIFY(wrapper.contains("/a.txt"));
    QCOMPARE(wrapper.data("/a.txt"), QByteArray("body"));
    QVERIFY(!wrapper.contains("/A.txt"));
    QVERIFY(!wrapper.contains("a.txt"));
    QCOMPARE(wrapper.data("/A.txt"), QByteArray());
}

void TestEJPWrapper::packageWithTruncatedLastRecordKeepsEarlierEntries_data()
{
    // The last record, /b.txt with body "second", is 8 + 29 + 29 = 66 bytes.
    QTest::addColumn<int>("keptOfLast");
    QTest::newRow("one length byte kept") << 1;
    QTest::newRow("name length kept, body length cut") << 7;
    QTest::newRow("both lengths kept, nothing else") << 8;
    QTest::newRow("name cut short") << 8 + 20;
    QTest::newRow("body cut short") << 8 + 29 + 5;
    QTest::newRow("last byte missing") << 65;
}

void TestEJPWrapper::packageWithTruncatedLastRecordKeepsEarlierEntries()
{
    QFETCH(int, keptOfLast);
    const QByteArray last = record("/b.txt", "second");
    QCOMPARE(last.size(), 66);
    const Entries loaded = entriesAfterLoading({record("/a.txt", "first") + last.left(keptOfLast)});
    QCOMPARE(describe(loaded), describe({{"/a.txt", "first"}}));
}

void TestEJPWrapper::lengthsPastEndEndReading_data()
{
    QTest::addColumn<quint32>("nameLength");
    QTest::addColumn<quint32>("bodyLength");
    QTest::newRow("both lengths at the maximum") << 0xFFFFFFFFu << 0xFFFFFFFFu;
    QTest::newRow("8 + N wraps 32 bits to zero") << 0xFFFFFFF8u << 0u;
    QTest::newRow("8 + N + D wraps 32 bits to zero") << 0x80000000u << 0x7FFFFFF8u;
    QTest::newRow("8 + N + D wraps 32 bits to a small step") << 0xFFFFFFF0u << 0x10u;
    // 56 bytes follow the lengths, so N + D = 57 reaches one byte too far.
    QTest::newRow("lengths reach one byte past the end") << 23u << 34u;
}

void TestEJPWrapper::lengthsPastEndEndReading()
{
    QFETCH(quint32, nameLength);
    QFETCH(quint32, bodyLength);
    // An intact record follows the bad lengths: reading must not resume there.
    const QByteArray following = record("/b", "");
    QCOMPARE(following.size(), 8 + 25 + 23);
    const QByteArray package = record("/a", "kept") + le32(nameLength) + le32(bodyLength) + following;
    QCOMPARE(describe(entriesAfterLoading({package})), describe({{"/a", "kept"}}));
}

void TestEJPWrapper::damagedRecordsAreStoredWithoutHarmingIntactEntries_data()
{
    QTest::addColumn<QByteArrayList>("packages");
    QTest::addColumn<Entries>("expected");
    QTest::newRow("damaged body is stored empty, later records still load")
            << QByteArrayList {record("/a", "x", Damage::Body) + record("/b", "y")}
            << Entries {{"/a", ""}, {"/b", "y"}};
    QTest::newRow("damaged name is stored under an empty name")
            << QByteArrayList {record("/a", "x", Damage::Name) + record("/b", "y")} << Entries {{"", "x"}, {"/b", "y"}};
    // The intact record is large enough that the two fit the package's size.
    QTest::newRow("zero lengths are stored under an empty name")
            << QByteArrayList {le32(0) + le32(0) + record("/b", QByteArray(60, 'y'))}
            << Entries {{"", ""}, {"/b", QByteArray(60, 'y')}};
    QTest::newRow("damaged body does not replace an intact entry of its package")
            << QByteArrayList {record("/a", "good") + record("/a", "bad", Damage::Body)} << Entries {{"/a", "good"}};
    QTest::newRow("damaged body does not replace an intact entry of an earlier package")
            << QByteArrayList {record("/a", "good"), record("/a", "bad", Damage::Body)} << Entries {{"/a", "good"}};
    QTest::newRow("later intact entry replaces a damaged one")
            << QByteArrayList {record("/a", "bad", Damage::Body) + record("/a", "good")} << Entries {{"/a", "good"}};
    QTest::newRow("name with a NUL inside does not replace the name before the NUL")
            << QByteArrayList {record("/a", "good") + record(QByteArray("/a\0x", 4), "other")}
            << Entries {{"/a", "good"}, {QString::fromUtf8("/a\0x", 4), "other"}};
    QTest::newRow("intact empty body replaces an intact entry")
            << QByteArrayList {record("/a", "old"), record("/a", "")} << Entries {{"/a", ""}};
}

void TestEJPWrapper::damagedRecordsAreStoredWithoutHarmingIntactEntries()
{
    QFETCH(QByteArrayList, packages);
    QFETCH(Entries, expected);
    QCOMPARE(describe(entriesAfterLoading(packages)), describe(expected));
}

void TestEJPWrapper::unreadablePackageLoadsNothing_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/tressil.ejp");
    QTest::newRow("directory") << QDir::tempPath();
    QTest::newRow("endless device") << QStringLiteral("/dev/zero");
}

void TestEJPWrapper::unreadablePackageLoadsNothing()
{
    QFETCH(QString, path);
    EJPWrapper wrapper;
    wrapper.load(path);
    QVERIFY(wrapper.entries().isEmpty());
}

void TestEJPWrapper::packageThatIsAPipeIsRefusedWithoutBlocking()
{
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("tressil.ejp");
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    EJPWrapper wrapper;
    QString problem;
    QVERIFY2(finishesWithoutBlockingOn(fifo, [&] { wrapper.load(fifo); }), "loading blocked on the pipe");
    QVERIFY2(finishesWithoutBlockingOn(fifo, [&] { QVERIFY(!EJPWrapper::readFile(fifo, &problem)); }),
             "reading blocked on the pipe");
    QCOMPARE(problem, QStringLiteral("not a regular file"));
    QVERIFY(wrapper.entries().isEmpty());
}

void TestEJPWrapper::recordCountTheSizeCannotHoldIsRefused_data()
{
    // An intact record is at least 8 + 23 + 23 = 54 bytes; /b with body "y" is 56.
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<bool>("refused");
    const QByteArray empty = le32(0) + le32(0);
    QTest::newRow("an intact record and an empty one in 64 bytes") << record("/b", "y") + empty << true;
    QTest::newRow("an empty record alone") << empty << true;
    QTest::newRow("one record of zero lengths after another")
            << empty + empty + record("/b", QByteArray(200, 'y')) << false;
    QTest::newRow("empty records before a cut-short tail")
            << empty + empty + record("/b", "long body").left(60) << true;
    QTest::newRow("the smallest intact records") << record("", "") + record("", "") << false;
    QTest::newRow("nothing at all") << QByteArray() << false;
}

void TestEJPWrapper::recordCountTheSizeCannotHoldIsRefused()
{
    QFETCH(QByteArray, package);
    QFETCH(bool, refused);
    QCOMPARE(!EJPWrapper::layoutProblem(package).isEmpty(), refused);
    EJPWrapper wrapper;
    qint64 end = -1;
    const QVector<EJPWrapper::Record> records = wrapper.records(package, &end);
    wrapper.loadData(package);
    if (refused) {
        QVERIFY(records.isEmpty());
        QCOMPARE(end, qint64(0));
        QVERIFY(wrapper.entries().isEmpty());
    } else {
        QVERIFY(end > 0 || package.isEmpty());
    }
    QTemporaryDir tmp;
    writeFile(tmp.filePath("p.ejp"), package);
    QString problem;
    QCOMPARE(!EJPWrapper::readFile(tmp.filePath("p.ejp"), &problem), refused);
    QCOMPARE(problem, EJPWrapper::layoutProblem(package));
}

void TestEJPWrapper::zeroFilledFileIsRefusedBeforeItIsRead()
{
    // 480 MB of zeros would be 60 million records of zero lengths; the file is
    // sparse, so it costs no disk space, and refused before it is read, so it
    // costs no memory either.
    QTemporaryDir tmp;
    const qint64 size = 480LL * 1000 * 1000;
    makeSparseFile(tmp.filePath("tressil.ejp"), size);
    QElapsedTimer timer;
    timer.start();
    QString problem;
    QVERIFY(!EJPWrapper::readFile(tmp.filePath("tressil.ejp"), &problem));
    QVERIFY2(problem.startsWith("not a package: "), qPrintable(problem));
    EJPWrapper wrapper;
    wrapper.load(tmp.filePath("tressil.ejp"));
    QVERIFY(wrapper.entries().isEmpty());
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(peakMemory() < 256LL * 1024 * 1024, qPrintable(QString::number(peakMemory())));

    // The same bytes handed over in memory are refused as quickly.
    const QByteArray zeros(64 * 1000 * 1000, '\0');
    QCOMPARE(EJPWrapper::layoutProblem(zeros),
             QStringLiteral("not a package: 1185186 records in its first 9481488 bytes, but a record takes at least 54 "
                            "bytes"));
    wrapper.loadData(zeros);
    QVERIFY(wrapper.entries().isEmpty());
}

void TestEJPWrapper::loaderSurvivesRandomAndMutatedPackages_data()
{
    QTest::addColumn<int>("mutation");
    QTest::newRow("random bytes") << 0;
    QTest::newRow("random bytes changed") << 1;
    QTest::newRow("random length fields") << 2;
    QTest::newRow("cut at a random point") << 3;
    QTest::newRow("random pieces spliced together") << 4;
}

void TestEJPWrapper::loaderSurvivesRandomAndMutatedPackages()
{
    QFETCH(int, mutation);
    QRandomGenerator random(quint32(1000 + mutation));
    const QByteArray valid = record("/index.html", "<html></html>") + record("/a.js", randomBytes(random, 90))
            + record("", "x") + record("/img/b.png", randomBytes(random, 200));
    const Entries intact = entriesAfterLoading({valid});
    for (int round = 0; round < 1000; ++round) {
        QByteArray package = valid;
        switch (mutation) {
        case 0:
            package = randomBytes(random, random.bounded(400));
            break;
        case 1:
            for (int i = random.bounded(1, 6); i > 0; --i)
                package[random.bounded(package.size())] = char(random.bounded(256));
            break;
        case 2:
            package.replace(random.bounded(package.size() - 4), 4, le32(random.generate()));
            break;
        case 3:
            package.truncate(random.bounded(package.size()));
            break;
        default:
            package = valid.mid(random.bounded(valid.size()), random.bounded(200))
                    + valid.mid(random.bounded(valid.size()), random.bounded(200));
        }
        const Entries loaded = entriesAfterLoading({package});
        qint64 loadedBytes = 0;
        for (auto it = loaded.cbegin(); it != loaded.cend(); ++it)
            loadedBytes += it.key().toUtf8().size() + it.value().size();
        QVERIFY2(loadedBytes <= package.size(), qPrintable(QString::number(round)));
        if (mutation == 3) {
            for (auto it = loaded.cbegin(); it != loaded.cend(); ++it)
                QCOMPARE(it.value(), intact.value(it.key()));
        }
    }
}

QTEST_APPLESS_MAIN(TestEJPWrapper)
#include "tst_ejpwrapper.moc"
