// Directory listing, recursive removal and recursive copy, on real trees.
#include "directorytree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestDirectoryTree : public QObject
{
    Q_OBJECT

private:
    // Builds files ("a/b.txt") and folders ("a/c/") below `root`.
    static void build(const QString &root, const QStringList &entries)
    {
        for (const QString &entry : entries) {
            const QString full = root + '/' + entry;
            if (entry.endsWith('/')) {
                QVERIFY(QDir().mkpath(full));
                continue;
            }
            QVERIFY(QDir().mkpath(QFileInfo(full).path()));
            QFile file(full);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(entry.toUtf8());
        }
    }

    // Every entry below `root` as a relative path, folders with a trailing "/", sorted.
    static QStringList tree(const QString &root)
    {
        QStringList found;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QString relative = QDir(root).relativeFilePath(it.filePath());
            found << (it.fileInfo().isDir() && !it.fileInfo().isSymLink() ? relative + '/' : relative);
        }
        found.sort();
        return found;
    }

private Q_SLOTS:
    void contentListsByNameIgnoringCase();
    void contentOfMissingFolderHasTwoEmptyLists();
    void contentOfEmptyPathListsTheCurrentFolder();
    void removeOfMissingPathIsTrue();
    void removeDeletesTheWholeTree();
    void removeOfPathEndingInSeparatorEmptiesItAndFails();
    void removeRefusesTheCurrentFolder_data();
    void removeRefusesTheCurrentFolder();
    void removeTakesLinksNotTheirTargets();
    void copyReplacesTheOldDestination();
    void copyWithoutParentFailsAndCopiesNothing();
    void copyOfMissingSourceGivesEmptyDestination();
    void copyRefusesOverlappingTrees_data();
    void copyRefusesOverlappingTrees();
    void copyKeepsLinkedFoldersAsLinks();
};

void TestDirectoryTree::contentListsByNameIgnoringCase()
{
    QTemporaryDir dir;
    build(dir.path(), {"b.txt", "A.txt", "c/", "B-dir/", ".hidden", ".hidden-dir/"});
    const QVariantMap content = DirectoryTree::content(dir.path());
    QCOMPARE(content.keys(), (QStringList {"dirs", "files"}));
    QCOMPARE(content.value("files").toStringList(), (QStringList {"A.txt", "b.txt"}));
    QCOMPARE(content.value("dirs").toStringList(), (QStringList {"B-dir", "c"}));
}

void TestDirectoryTree::contentOfMissingFolderHasTwoEmptyLists()
{
    QTemporaryDir dir;
    const QVariantMap content = DirectoryTree::content(dir.filePath("missing"));
    QCOMPARE(content.size(), 2);
    QVERIFY(content.value("files").toStringList().isEmpty());
    QVERIFY(content.value("dirs").toStringList().isEmpty());
}

void TestDirectoryTree::contentOfEmptyPathListsTheCurrentFolder()
{
    QTemporaryDir dir;
    build(dir.path(), {"here.txt", "sub/"});
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QVariantMap content = DirectoryTree::content(QString());
    QDir::setCurrent(before);
    QCOMPARE(content.value("files").toStringList(), QStringList {"here.txt"});
    QCOMPARE(content.value("dirs").toStringList(), QStringList {"sub"});
}

void TestDirectoryTree::removeOfMissingPathIsTrue()
{
    QTemporaryDir dir;
    QVERIFY(DirectoryTree::remove(dir.filePath("missing")));
}

void TestDirectoryTree::removeDeletesTheWholeTree()
{
    QTemporaryDir dir;
    build(dir.path(), {"t/a.txt", "t/sub/b.txt", "t/sub/deeper/", "keep.txt"});
    QVERIFY(DirectoryTree::remove(dir.filePath("t")));
    QCOMPARE(tree(dir.path()), QStringList {"keep.txt"});
}

void TestDirectoryTree::removeOfPathEndingInSeparatorEmptiesItAndFails()
{
    QTemporaryDir dir;
    build(dir.path(), {"t/a.txt", "t/sub/b.txt"});
    QVERIFY(!DirectoryTree::remove(dir.filePath("t") + '/'));
    QCOMPARE(tree(dir.path()), QStringList {"t/"});
}

void TestDirectoryTree::removeRefusesTheCurrentFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("empty path") << "";
    QTest::newRow("dot") << ".";
    QTest::newRow("dot with separator") << "./";
}

void TestDirectoryTree::removeRefusesTheCurrentFolder()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    build(dir.path(), {"precious.txt", "sub/x.txt"});
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const bool removed = DirectoryTree::remove(path);
    QDir::setCurrent(before);
    QVERIFY(!removed);
    QCOMPARE(tree(dir.path()), (QStringList {"precious.txt", "sub/", "sub/x.txt"}));
}

void TestDirectoryTree::removeTakesLinksNotTheirTargets()
{
    QTemporaryDir dir;
    build(dir.path(), {"outside/precious.txt", "t/"});
    QVERIFY(QFile::link(dir.filePath("outside"), dir.filePath("t/link")));
    QVERIFY(DirectoryTree::remove(dir.filePath("t")));
    QCOMPARE(tree(dir.path()), (QStringList {"outside/", "outside/precious.txt"}));
}

void TestDirectoryTree::copyReplacesTheOldDestination()
{
    QTemporaryDir dir;
    build(dir.path(), {"src/a.txt", "src/sub/b.txt", "src/empty/", "dst/old.txt", "dst/old-dir/c.txt"});
    QVERIFY(DirectoryTree::copy(dir.filePath("src"), dir.filePath("dst")));
    QCOMPARE(tree(dir.filePath("dst")), (QStringList {"a.txt", "empty/", "sub/", "sub/b.txt"}));
    QFile copied(dir.filePath("dst/sub/b.txt"));
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("src/sub/b.txt"));
}

void TestDirectoryTree::copyWithoutParentFailsAndCopiesNothing()
{
    QTemporaryDir dir;
    build(dir.path(), {"src/a.txt"});
    QVERIFY(!DirectoryTree::copy(dir.filePath("src"), dir.filePath("no-parent/dst")));
    QCOMPARE(tree(dir.path()), (QStringList {"src/", "src/a.txt"}));
}

void TestDirectoryTree::copyOfMissingSourceGivesEmptyDestination()
{
    QTemporaryDir dir;
    build(dir.path(), {"dst/old.txt"});
    QVERIFY(DirectoryTree::copy(dir.filePath("missing"), dir.filePath("dst")));
    QCOMPARE(tree(dir.path()), QStringList {"dst/"});
}

void TestDirectoryTree::copyRefusesOverlappingTrees_data()
{
    QTest::addColumn<QString>("src");
    QTest::addColumn<QString>("dst");
    QTest::newRow("destination is the source") << "src"
                                               << "src";
    QTest::newRow("destination spelled differently is the source") << "src"
                                                                   << "src/sub/..";
    QTest::newRow("destination inside the source") << "src"
                                                   << "src/sub/copy";
    QTest::newRow("new destination inside the source") << "src"
                                                       << "src/new";
    QTest::newRow("new destination reached through a link into the source") << "src"
                                                                            << "link-to-src/new";
    QTest::newRow("source inside the destination") << "src/sub"
                                                   << "src";
    QTest::newRow("empty destination") << "src"
                                       << "";
}

void TestDirectoryTree::copyRefusesOverlappingTrees()
{
    QFETCH(QString, src);
    QFETCH(QString, dst);
    QTemporaryDir dir;
    build(dir.path(), {"src/a.txt", "src/sub/b.txt"});
    QVERIFY(QFile::link(dir.filePath("src"), dir.filePath("link-to-src")));
    const QStringList before = tree(dir.path());
    const QString current = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const bool copied = DirectoryTree::copy(dir.filePath(src), dst.isEmpty() ? dst : dir.filePath(dst));
    QDir::setCurrent(current);
    QVERIFY(!copied);
    QCOMPARE(tree(dir.path()), before);
}

void TestDirectoryTree::copyKeepsLinkedFoldersAsLinks()
{
    QTemporaryDir dir;
    build(dir.path(), {"src/a.txt"});
    // A link back to its own ancestor: followed, the copy would nest without end.
    QVERIFY(QFile::link(dir.filePath("src"), dir.filePath("src/loop")));
    QVERIFY(DirectoryTree::copy(dir.filePath("src"), dir.filePath("dst")));
    QCOMPARE(tree(dir.filePath("dst")), (QStringList {"a.txt", "loop"}));
    QCOMPARE(QFileInfo(dir.filePath("dst/loop")).symLinkTarget(), dir.filePath("src"));
}

QTEST_APPLESS_MAIN(TestDirectoryTree)
#include "tst_directorytree.moc"
