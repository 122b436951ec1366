// The runtime folder the host gives Qt, so that a start as root prints no warning.
#include "runtimedirectory.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QByteArray &path)
{
    struct stat info {
    };
    return lstat(path.constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

class TestRuntimeDirectory : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tmp;
    QByteArray savedTmpdir;
    QByteArray savedRuntime;

    QByteArray privateFolder() const
    {
        return QFile::encodeName(tmp.path()) + "/runtime-" + QByteArray::number(geteuid());
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void unusableVariableIsReplacedByAPrivateFolder_data();
    void unusableVariableIsReplacedByAPrivateFolder();
    void usableVariableIsKept();
    void folderOfOursWithLooseModeIsMadePrivate();
    void linkInPlaceOfTheFolderIsNotFollowed();
};

void TestRuntimeDirectory::init()
{
    savedTmpdir = qgetenv("TMPDIR");
    savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    QDir(QString::fromLocal8Bit(privateFolder())).removeRecursively();
    QFile::remove(QString::fromLocal8Bit(privateFolder()));
}

void TestRuntimeDirectory::cleanup()
{
    qputenv("TMPDIR", savedTmpdir);
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

void TestRuntimeDirectory::unusableVariableIsReplacedByAPrivateFolder_data()
{
    QTest::addColumn<QByteArray>("variable"); // relative to the test's folder, "" for unset
    QTest::addColumn<int>("mode"); // of that folder when it is made, 0 for none
    QTest::newRow("unset variable") << QByteArray() << 0;
    QTest::newRow("variable naming a missing folder") << QByteArray("missing") << 0;
    QTest::newRow("variable naming a folder others can read") << QByteArray("open") << 0755;
    QTest::newRow("variable naming a folder all can write") << QByteArray("shared") << 0777;
}

void TestRuntimeDirectory::unusableVariableIsReplacedByAPrivateFolder()
{
    QFETCH(QByteArray, variable);
    QFETCH(int, mode);
    if (variable.isEmpty()) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else {
        const QByteArray path = QFile::encodeName(tmp.path()) + '/' + variable;
        if (mode) {
            QVERIFY(mkdir(path.constData(), 0700) == 0);
            QVERIFY(chmod(path.constData(), mode_t(mode)) == 0);
        }
        qputenv("XDG_RUNTIME_DIR", path);
    }
    QCOMPARE(RuntimeDirectory::ensure(), privateFolder());
    QCOMPARE(qgetenv("XDG_RUNTIME_DIR"), privateFolder());
    QCOMPARE(modeOf(privateFolder()), mode_t(0700));
    QVERIFY(RuntimeDirectory::isUsable(privateFolder()));
    // The folder the variable named is left as it was.
    if (mode)
        QCOMPARE(modeOf(QFile::encodeName(tmp.path()) + '/' + variable), mode_t(mode));
}

void TestRuntimeDirectory::usableVariableIsKept()
{
    const QByteArray own = QFile::encodeName(tmp.path()) + "/own";
    QVERIFY(mkdir(own.constData(), 0700) == 0);
    qputenv("XDG_RUNTIME_DIR", own);
    QCOMPARE(RuntimeDirectory::ensure(), own);
    QCOMPARE(qgetenv("XDG_RUNTIME_DIR"), own);
    QVERIFY(!QFileInfo::exists(QString::fromLocal8Bit(privateFolder())));
}

void TestRuntimeDirectory::folderOfOursWithLooseModeIsMadePrivate()
{
    qunsetenv("XDG_RUNTIME_DIR");
    QVERIFY(mkdir(privateFolder().constData(), 0700) == 0);
    QVERIFY(chmod(privateFolder().constData(), 0755) == 0);
    QCOMPARE(RuntimeDirectory::ensure(), privateFolder());
    QCOMPARE(modeOf(privateFolder()), mode_t(0700));
}

void TestRuntimeDirectory::linkInPlaceOfTheFolderIsNotFollowed()
{
    // Someone who plants a link at the usual name must not get the host's sockets.
    const QByteArray target = QFile::encodeName(tmp.path()) + "/target";
    QVERIFY(mkdir(target.constData(), 0755) == 0);
    QVERIFY(symlink(target.constData(), privateFolder().constData()) == 0);
    qunsetenv("XDG_RUNTIME_DIR");
    const QByteArray chosen = RuntimeDirectory::ensure();
    QVERIFY2(chosen.startsWith(privateFolder() + "-"), chosen.constData());
    QVERIFY(RuntimeDirectory::isUsable(chosen));
    QCOMPARE(modeOf(target), mode_t(0755));
    QVERIFY(!RuntimeDirectory::isUsable(privateFolder()));
}

QTEST_APPLESS_MAIN(TestRuntimeDirectory)
#include "tst_runtimedirectory.moc"
