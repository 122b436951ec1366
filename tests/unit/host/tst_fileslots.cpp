// File, handle and query slots of the application scripting object, on real files.
#include "jsapiovex.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestFileSlots : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    static QByteArray bytesOf(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static void writeBytes(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private Q_SLOTS:
    void firstTwoOpensAreOneAndTwoAndAFailedOpenConsumesNoId();
    void freadAfterFcloseIsEmptyAndSecondFcloseDoesNothing();
    void modeOutsideTheTableOpensNothing_data();
    void modeOutsideTheTableOpensNothing();
    void fwritelnEndsWithLineFeed_data();
    void fwritelnEndsWithLineFeed();
    void writingStopsAtNulAndUsesLatin1_data();
    void writingStopsAtNulAndUsesLatin1();
    void readingStopsAtZeroByteAndDecodesUtf8();
    void freadAndFgetsReadTheirLimits_data();
    void freadAndFgetsReadTheirLimits();
    void writesToReadHandlesAndReadsFromWriteHandlesAreIgnored();
    void unknownIdsAreIgnored();
    void wholeFileWriteAppendAndRead();
    void filereadOfMissingFileIsEmpty();
    void mkfileTruncates();
    void copyAndRenameRefuseExistingDestination();
    void unlinkRemovesFiles();
    void queriesOfEmptyAndMissingPaths();
    void filectimeIsTheModificationTime();
    void mkdir_data();
    void mkdir();
    void tempFileNames_data();
    void tempFileNames();
    void tempFilesGoWithTheScriptObject();
    void tempFolderFallsBackToTheSystemDefault_data();
    void tempFolderFallsBackToTheSystemDefault();
    void wellKnownFolders();
    void downloadTransfersNothing();
};

void TestFileSlots::firstTwoOpensAreOneAndTwoAndAFailedOpenConsumesNoId()
{
    JSApiOvex ovex(nullptr, nullptr);
    QCOMPARE(ovex.fopen(path("first.txt"), "w"), 1);
    QCOMPARE(ovex.fopen(path("missing-folder/x.txt"), "w"), 0);
    QCOMPARE(ovex.fopen(path("missing.txt"), "r"), 0);
    QCOMPARE(ovex.fopen(path("first.txt"), "r"), 2);
}

void TestFileSlots::freadAfterFcloseIsEmptyAndSecondFcloseDoesNothing()
{
    writeBytes(path("closed.txt"), "content");
    JSApiOvex ovex(nullptr, nullptr);
    const int id = ovex.fopen(path("closed.txt"), "rb");
    QCOMPARE(ovex.fread(id, 3), QStringLiteral("con"));
    ovex.fclose(id);
    QCOMPARE(ovex.fread(id, 3), QString());
    ovex.fclose(id);
    QCOMPARE(ovex.fgets(id, 0), QString());
    QCOMPARE(ovex.fopen(path("closed.txt"), "rb"), id + 1);
}

void TestFileSlots::modeOutsideTheTableOpensNothing_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("upper-case W is not w") << "W";
    QTest::newRow("read-write plus is unknown") << "w+";
    QTest::newRow("text suffix is unknown") << "wt";
    QTest::newRow("empty mode") << "";
    QTest::newRow("mode with a blank") << "w ";
}

void TestFileSlots::modeOutsideTheTableOpensNothing()
{
    QFETCH(QString, mode);
    JSApiOvex ovex(nullptr, nullptr);
    const QString file = path("never-" + QString::number(qHash(mode)) + ".txt");
    QCOMPARE(ovex.fopen(file, mode), 0);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(ovex.fopen(path("after-bad-mode.txt"), "w"), 1);
}

void TestFileSlots::fwritelnEndsWithLineFeed_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("text write gives LF on this platform") << "w" << QByteArray("old") << QByteArray("ab\ncd\n");
    QTest::newRow("binary write gives LF") << "wb" << QByteArray("old") << QByteArray("ab\ncd\n");
    QTest::newRow("text append keeps the old content") << "a" << QByteArray("old") << QByteArray("oldab\ncd\n");
    QTest::newRow("binary append keeps the old content") << "ab" << QByteArray("old") << QByteArray("oldab\ncd\n");
}

void TestFileSlots::fwritelnEndsWithLineFeed()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, expected);
    const QString file = path("lines-" + mode + ".txt");
    writeBytes(file, before);
    JSApiOvex ovex(nullptr, nullptr);
    const int id = ovex.fopen(file, mode);
    QVERIFY(id > 0);
    ovex.fwriteln(id, "ab");
    ovex.fwrite(id, "cd");
    ovex.fwriteln(id, "");
    ovex.fclose(id);
    QCOMPARE(bytesOf(file), expected);
}

void TestFileSlots::writingStopsAtNulAndUsesLatin1_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("latin-1 character is one byte") << QString::fromUtf8("é") << QByteArray("\xe9");
    QTest::newRow("characters above U+00FF become question marks") << QString::fromUtf8("€日x") << QByteArray("??x");
    QTest::newRow("text is cut at its first NUL") << QString::fromUtf8("ab\0cd", 5) << QByteArray("ab");
}

void TestFileSlots::writingStopsAtNulAndUsesLatin1()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    JSApiOvex ovex(nullptr, nullptr);
    ovex.filewrite(path("whole.txt"), text);
    QCOMPARE(bytesOf(path("whole.txt")), expected);
    const int id = ovex.fopen(path("handle.txt"), "wb");
    ovex.fwriteln(id, text);
    ovex.fclose(id);
    QCOMPARE(bytesOf(path("handle.txt")), expected + '\n');
}

void TestFileSlots::readingStopsAtZeroByteAndDecodesUtf8()
{
    writeBytes(path("zero.bin"), QByteArray("\xc3\xa9\xff-\0rest", 9));
    JSApiOvex ovex(nullptr, nullptr);
    const QString expected = QString::fromUtf8("é\uFFFD-");
    QCOMPARE(ovex.fileread(path("zero.bin")), expected);
    const int id = ovex.fopen(path("zero.bin"), "rb");
    QCOMPARE(ovex.fread(id, 100), expected);
}

void TestFileSlots::freadAndFgetsReadTheirLimits_data()
{
    QTest::addColumn<bool>("line");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QStringList>("reads");
    QTest::newRow("fread of 4 bytes crosses the line end") << false << 4 << QStringList {"one\n", "two\n", ""};
    QTest::newRow("fread of 0 bytes reads nothing") << false << 0 << QStringList {"", ""};
    QTest::newRow("fgets without limit reads whole lines") << true << 0 << QStringList {"one\n", "two\n", ""};
    QTest::newRow("fgets stops at its byte limit") << true << 2 << QStringList {"on", "e\n", "tw"};
}

void TestFileSlots::freadAndFgetsReadTheirLimits()
{
    QFETCH(bool, line);
    QFETCH(int, bytes);
    QFETCH(QStringList, reads);
    writeBytes(path("two-lines.txt"), "one\ntwo\n");
    JSApiOvex ovex(nullptr, nullptr);
    const int id = ovex.fopen(path("two-lines.txt"), "r");
    QStringList got;
    for (int i = 0; i < reads.size(); ++i)
        got << (line ? ovex.fgets(id, bytes) : ovex.fread(id, bytes));
    QCOMPARE(got, reads);
}

void TestFileSlots::writesToReadHandlesAndReadsFromWriteHandlesAreIgnored()
{
    writeBytes(path("ro.txt"), "keep");
    JSApiOvex ovex(nullptr, nullptr);
    const int reader = ovex.fopen(path("ro.txt"), "r");
    ovex.fwrite(reader, "x");
    ovex.fclose(reader);
    QCOMPARE(bytesOf(path("ro.txt")), QByteArray("keep"));
    const int writer = ovex.fopen(path("ro.txt"), "a");
    QCOMPARE(ovex.fread(writer, 10), QString());
    QCOMPARE(ovex.fgets(writer, 0), QString());
}

void TestFileSlots::unknownIdsAreIgnored()
{
    JSApiOvex ovex(nullptr, nullptr);
    ovex.fwrite(7, "x");
    ovex.fwriteln(0, "x");
    ovex.fclose(-1);
    QCOMPARE(ovex.fread(7, 10), QString());
    QCOMPARE(ovex.fopen(path("fresh.txt"), "w"), 1);
}

void TestFileSlots::wholeFileWriteAppendAndRead()
{
    JSApiOvex ovex(nullptr, nullptr);
    ovex.filewrite(path("whole-rw.txt"), "old text");
    ovex.filewrite(path("whole-rw.txt"), "a\nb");
    ovex.fileappend(path("whole-rw.txt"), "\nc");
    ovex.fileappend(path("appended-new.txt"), "new");
    QCOMPARE(ovex.fileread(path("whole-rw.txt")), QStringLiteral("a\nb\nc"));
    QCOMPARE(bytesOf(path("appended-new.txt")), QByteArray("new"));
}

void TestFileSlots::filereadOfMissingFileIsEmpty()
{
    JSApiOvex ovex(nullptr, nullptr);
    QCOMPARE(ovex.fileread(path("nothing-here.txt")), QString());
    ovex.filewrite(path("no-folder/x.txt"), "x");
    QVERIFY(!QFile::exists(path("no-folder/x.txt")));
}

void TestFileSlots::mkfileTruncates()
{
    writeBytes(path("full.txt"), "content");
    JSApiOvex ovex(nullptr, nullptr);
    QVERIFY(ovex.mkfile(path("full.txt")));
    QCOMPARE(QFileInfo(path("full.txt")).size(), 0);
    QVERIFY(ovex.mkfile(path("created.txt")));
    QVERIFY(QFile::exists(path("created.txt")));
    QVERIFY(!ovex.mkfile(path("no-folder/created.txt")));
}

void TestFileSlots::copyAndRenameRefuseExistingDestination()
{
    writeBytes(path("src.txt"), "source");
    writeBytes(path("dst.txt"), "destination");
    JSApiOvex ovex(nullptr, nullptr);
    QVERIFY(!ovex.copy(path("src.txt"), path("dst.txt")));
    QVERIFY(!ovex.rename(path("src.txt"), path("dst.txt")));
    QCOMPARE(bytesOf(path("dst.txt")), QByteArray("destination"));
    QVERIFY(ovex.copy(path("src.txt"), path("copied.txt")));
    QVERIFY(ovex.rename(path("copied.txt"), path("moved.txt")));
    QCOMPARE(bytesOf(path("moved.txt")), QByteArray("source"));
    QVERIFY(!QFile::exists(path("copied.txt")));
}

void TestFileSlots::unlinkRemovesFiles()
{
    writeBytes(path("doomed.txt"), "x");
    JSApiOvex ovex(nullptr, nullptr);
    QVERIFY(ovex.unlink(path("doomed.txt")));
    QVERIFY(!QFile::exists(path("doomed.txt")));
    QVERIFY(!ovex.unlink(path("doomed.txt")));
}

void TestFileSlots::queriesOfEmptyAndMissingPaths()
{
    JSApiOvex ovex(nullptr, nullptr);
    QVERIFY(!ovex.fileExists(QString()));
    QVERIFY(ovex.dirExists(QString()));
    QVERIFY(ovex.fileExists(dir.path()));
    QVERIFY(!ovex.dirExists(path("missing")));
    QCOMPARE(ovex.filesize(path("missing")), 0);
    QCOMPARE(ovex.filectime(path("missing")), -1);
    QCOMPARE(ovex.fileatime(path("missing")), -1);
    writeBytes(path("five.txt"), "12345");
    QCOMPARE(ovex.filesize(path("five.txt")), 5);
}

void TestFileSlots::filectimeIsTheModificationTime()
{
    writeBytes(path("dated.txt"), "x");
    QFile file(path("dated.txt"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(1000000000, Qt::UTC);
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    file.close();
    JSApiOvex ovex(nullptr, nullptr);
    QCOMPARE(ovex.filectime(path("dated.txt")), 1000000000);
}

void TestFileSlots::mkdir_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("existsAfter");
    QTest::newRow("recursive makes missing parents") << "m/a/b/c" << true << true << true;
    QTest::newRow("recursive on an existing folder is true") << "existing" << true << true << true;
    QTest::newRow("plain on an existing folder is false") << "existing" << false << false << true;
    QTest::newRow("plain without parent is false") << "m2/a/b" << false << false << false;
    QTest::newRow("plain makes the last component") << "new-leaf" << false << true << true;
}

void TestFileSlots::mkdir()
{
    QFETCH(QString, target);
    QFETCH(bool, recursive);
    QFETCH(bool, result);
    QFETCH(bool, existsAfter);
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir("existing"));
    JSApiOvex ovex(nullptr, nullptr);
    QCOMPARE(ovex.mkdir(base.filePath(target), recursive), result);
    QCOMPARE(QFileInfo(base.filePath(target)).isDir(), existsAfter);
}

void TestFileSlots::tempFileNames_data()
{
    QTest::addColumn<QString>("append");
    QTest::addColumn<QString>("namePattern");
    QTest::newRow("empty argument names the file after the application") << ""
                                                                         << "^Studio\\.[A-Za-z0-9]{6}$";
    QTest::newRow("an argument follows the fixed template") << ".txt"
                                                            << "^tmp\\.[A-Za-z0-9]{6}\\.ovex\\.txt$";
}

void TestFileSlots::tempFileNames()
{
    QFETCH(QString, append);
    QFETCH(QString, namePattern);
    JSApiOvex ovex(nullptr, nullptr);
    ovex.setAppName("Studio");
    const QString file = ovex.tempFile(append);
    const QFileInfo info(file);
    QVERIFY(info.isAbsolute());
    QCOMPARE(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    QVERIFY2(QRegularExpression(namePattern).match(info.fileName()).hasMatch(), qPrintable(info.fileName()));
    QVERIFY(info.exists());
    QVERIFY(ovex.tempFile(append) != file);
}

void TestFileSlots::tempFilesGoWithTheScriptObject()
{
    QString file;
    {
        JSApiOvex ovex(nullptr, nullptr);
        file = ovex.tempFile(".keep");
        QVERIFY(QFile::exists(file));
    }
    QVERIFY(!QFile::exists(file));
}

void TestFileSlots::tempFolderFallsBackToTheSystemDefault_data()
{
    QTest::addColumn<QString>("tmpdir");
    QTest::addColumn<QString>("folder");
    const QString systemDefault = QDir("/tmp").canonicalPath();
    QTest::newRow("TMPDIR naming an existing folder is used") << dir.path() << QDir(dir.path()).canonicalPath();
    QTest::newRow("TMPDIR naming a missing folder falls back") << path("no/such/folder") << systemDefault;
    QTest::newRow("TMPDIR naming a plain file falls back") << path("plain-file") << systemDefault;
    QTest::newRow("empty TMPDIR is the system default") << "" << systemDefault;
}

void TestFileSlots::tempFolderFallsBackToTheSystemDefault()
{
    QFETCH(QString, tmpdir);
    QFETCH(QString, folder);
    writeBytes(path("plain-file"), "x");
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmpdir));
    JSApiOvex ovex(nullptr, nullptr);
    const QString got = ovex.getDirTemp();
    const QString file = ovex.tempFile(".fallback");
    qputenv("TMPDIR", saved);
    QCOMPARE(got, folder);
    QCOMPARE(QFileInfo(file).absolutePath(), folder);
}

void TestFileSlots::wellKnownFolders()
{
    JSApiOvex ovex(nullptr, nullptr);
    QCOMPARE(ovex.getDirCurrent(), QDir::currentPath());
    QCOMPARE(ovex.getDirTemp(), QDir::tempPath());
    QCOMPARE(ovex.getDirHome(), QDir::homePath());
    QCOMPARE(ovex.getDirDocuments(), QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0));
    ovex.setAppName("Studio");
    QVERIFY(ovex.getDirAppData().endsWith("/Studio"));
}

void TestFileSlots::downloadTransfersNothing()
{
    JSApiOvex ovex(nullptr, nullptr);
    ovex.download("http://127.0.0.1:1/file", path("downloaded.bin"), "cid1", "cid2");
    QVERIFY(!QFile::exists(path("downloaded.bin")));
}

QTEST_GUILESS_MAIN(TestFileSlots)
#include "tst_fileslots.moc"
