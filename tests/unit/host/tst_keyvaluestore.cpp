// The key-value store behind the "reg" slots: path normalisation, files, listings, refusals.
#include "keyvaluestore.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestKeyValueStore : public QObject
{
    Q_OBJECT

private:
    static QStringList filesBelow(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

private Q_SLOTS:
    void normalisedPath_data();
    void normalisedPath();
    void slashedAndBackslashedPathsNameTheSameStore();
    void eachPathIsAnIniFileBelowTheRoot();
    void valuesAreReadBackAndDefaultsFillGaps();
    void listingsOfAValueAndASubkey();
    void deleteRemovesAKeyAndEverythingBelowIt();
    void deleteWithEmptyKeyEmptiesThePath();
    void pathsLeavingTheStoreAreRefused_data();
    void pathsLeavingTheStoreAreRefused();
    void keysWithParentSegmentsAreRefused();
    void defaultRootIsInTheUserConfigurationFolder();
};

void TestKeyValueStore::normalisedPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("slashes at both ends go, inner ones become backslashes") << "/HKEY_CURRENT_USER/Software/Vendor/"
                                                                            << "HKEY_CURRENT_USER\\Software\\Vendor";
    QTest::newRow("runs of slashes at the ends go") << "///a//b///"
                                                    << "a\\\\b";
    QTest::newRow("backslashes stay") << "a\\b/c"
                                      << "a\\b\\c";
    QTest::newRow("only slashes leave nothing") << "///"
                                                << "";
}

void TestKeyValueStore::normalisedPath()
{
    QFETCH(QString, path);
    QFETCH(QString, normalised);
    QCOMPARE(KeyValueStore::normalisedPath(path), normalised);
}

void TestKeyValueStore::slashedAndBackslashedPathsNameTheSameStore()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    store.set("/HKEY_CURRENT_USER/Software/Vendor/", "colour", "blue");
    QCOMPARE(store.get("HKEY_CURRENT_USER\\Software\\Vendor", "colour", "none").toString(), QStringLiteral("blue"));
    QVERIFY(store.isSet("HKEY_CURRENT_USER/Software\\Vendor", "colour"));
}

void TestKeyValueStore::eachPathIsAnIniFileBelowTheRoot()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    QCOMPARE(store.storeFile("HKEY_CURRENT_USER\\Software\\Vendor"),
             root.path() + "/HKEY_CURRENT_USER/Software/Vendor.ini");
    store.set("HKEY_CURRENT_USER\\Software\\Vendor", "k", 1);
    store.set("HKEY_CURRENT_USER\\Software", "k", 2);
    QCOMPARE(filesBelow(root.path()),
             (QStringList {"HKEY_CURRENT_USER/Software.ini", "HKEY_CURRENT_USER/Software/Vendor.ini"}));
}

void TestKeyValueStore::valuesAreReadBackAndDefaultsFillGaps()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    store.set("p", "group/name", "text");
    QCOMPARE(store.get("p", "group/name", QVariant()).toString(), QStringLiteral("text"));
    QCOMPARE(store.get("p", "group/other", "fallback").toString(), QStringLiteral("fallback"));
    QCOMPARE(store.get("never-written", "x", 42).toInt(), 42);
    QVERIFY(!store.isSet("p", "group/other"));
    QVERIFY(!store.isSet("never-written", "x"));
}

void TestKeyValueStore::listingsOfAValueAndASubkey()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    store.set("p", "a", 1);
    store.set("p", "b/c", 2);
    QCOMPARE(store.allKeys("p"), (QVariantList {"a", "b/c"}));
    QCOMPARE(store.keys("p"), QVariantList {"a"});
    QCOMPARE(store.groups("p"), QVariantList {"b"});
}

void TestKeyValueStore::deleteRemovesAKeyAndEverythingBelowIt()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    store.set("p", "a", 1);
    store.set("p", "b/c", 2);
    store.set("p", "b/d/e", 3);
    store.remove("p", "b");
    QCOMPARE(store.allKeys("p"), QVariantList {"a"});
}

void TestKeyValueStore::deleteWithEmptyKeyEmptiesThePath()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    store.set("p", "a", 1);
    store.set("p", "b/c", 2);
    store.set("q", "a", 1);
    store.remove("p", QString());
    QVERIFY(store.allKeys("p").isEmpty());
    QCOMPARE(store.allKeys("q"), QVariantList {"a"});
}

void TestKeyValueStore::pathsLeavingTheStoreAreRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("parent segment") << "..";
    QTest::newRow("parent segment in the middle") << "a/../../b";
    QTest::newRow("parent segment with backslashes") << "a\\..\\..\\x";
    QTest::newRow("leading backslash is absolute") << "\\etc\\x";
    QTest::newRow("empty path") << "";
    QTest::newRow("only slashes") << "//";
    QTest::newRow("empty inner segment") << "a//b";
    QTest::newRow("current-folder segment") << "a/./b";
}

void TestKeyValueStore::pathsLeavingTheStoreAreRefused()
{
    QFETCH(QString, path);
    QTemporaryDir parent;
    const QString root = parent.filePath("store/inner");
    const KeyValueStore store(root);
    QCOMPARE(store.storeFile(path), QString());
    store.set(path, "k", "v");
    store.remove(path, QString());
    QCOMPARE(store.get(path, "k", "default").toString(), QStringLiteral("default"));
    QVERIFY(!store.isSet(path, "k"));
    QVERIFY(store.allKeys(path).isEmpty());
    QVERIFY(store.keys(path).isEmpty());
    QVERIFY(store.groups(path).isEmpty());
    QCOMPARE(filesBelow(parent.path()), QStringList());
}

void TestKeyValueStore::keysWithParentSegmentsAreRefused()
{
    QTemporaryDir root;
    const KeyValueStore store(root.path());
    store.set("p", "a", 1);
    store.set("p", "../escape", 2);
    store.set("p", "b\\..\\c", 3);
    QVERIFY(!store.isSet("p", "../escape"));
    QCOMPARE(store.get("p", "../escape", "default").toString(), QStringLiteral("default"));
    QCOMPARE(store.allKeys("p"), QVariantList {"a"});
}

void TestKeyValueStore::defaultRootIsInTheUserConfigurationFolder()
{
    QCOMPARE(KeyValueStore::defaultRoot(),
             QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Tressil/keystore");
}

QTEST_GUILESS_MAIN(TestKeyValueStore)
#include "tst_keyvaluestore.moc"
