// SQLite connections under caller-chosen ids: queries into row maps, inserts, close, reconnect.
#include "databaseregistry.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

class TestDatabaseRegistry : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString file(const QString &name) const { return dir.filePath(name); }

private Q_SLOTS:
    void queryGivesOneMapPerRow_data();
    void queryGivesOneMapPerRow();
    void insertReturnsTheNewKey();
    void insertWithoutAnyInsertGivesNull();
    void unknownIdGivesZeroAndEmptyList();
    void failedStatementsGiveInvalidAndEmpty();
    void closeThenQueryGivesEmptyList();
    void reconnectingAnIdLeavesOnlyTheSecondFile();
    void unopenableFileIsStoredButEveryStatementFails();
    void destructionClosesEveryConnection();
};

void TestDatabaseRegistry::queryGivesOneMapPerRow_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QVariantList>("rows");
    QTest::newRow("two named columns") << "SELECT 1 AS a, 2 AS b" << QVariantList {QVariantMap {{"a", 1}, {"b", 2}}};
    QTest::newRow("the later of two equal names wins")
            << "SELECT 1 AS a, 2 AS a" << QVariantList {QVariantMap {{"a", 2}}};
    QTest::newRow("text, real and null values")
            << "SELECT 'x' AS t, 2.5 AS r, NULL AS n"
            << QVariantList {QVariantMap {{"t", "x"}, {"r", 2.5}, {"n", QVariant()}}};
    QTest::newRow("rows in the order the database gives")
            << "SELECT 3 AS v UNION ALL SELECT 1 UNION ALL SELECT 2"
            << QVariantList {QVariantMap {{"v", 3}}, QVariantMap {{"v", 1}}, QVariantMap {{"v", 2}}};
    QTest::newRow("statement without result set") << "CREATE TABLE IF NOT EXISTS t (v)" << QVariantList();
}

void TestDatabaseRegistry::queryGivesOneMapPerRow()
{
    QFETCH(QString, statement);
    QFETCH(QVariantList, rows);
    DatabaseRegistry registry;
    registry.connect(file("rows.db"), "rows");
    const QVariantList got = registry.query(statement, "rows");
    QCOMPARE(got.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QVariantMap row = got.at(i).toMap();
        const QVariantMap expected = rows.at(i).toMap();
        QCOMPARE(row.keys(), expected.keys());
        for (const QString &key : expected.keys()) {
            QCOMPARE(row.value(key).isNull(), expected.value(key).isNull());
            QCOMPARE(row.value(key).toString(), expected.value(key).toString());
        }
    }
}

void TestDatabaseRegistry::insertReturnsTheNewKey()
{
    DatabaseRegistry registry;
    registry.connect(file("insert.db"), "insert");
    registry.query("CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)", "insert");
    QCOMPARE(registry.insert("INSERT INTO t (v) VALUES ('a')", "insert").toLongLong(), 1);
    QCOMPARE(registry.insert("INSERT INTO t (id, v) VALUES (40, 'b')", "insert").toLongLong(), 40);
    QCOMPARE(registry.insert("INSERT INTO t (v) VALUES ('c')", "insert").toLongLong(), 41);
    QCOMPARE(registry.query("SELECT COUNT(*) AS n FROM t", "insert").value(0).toMap().value("n").toInt(), 3);
}

void TestDatabaseRegistry::insertWithoutAnyInsertGivesNull()
{
    DatabaseRegistry registry;
    registry.connect(file("no-insert.db"), "no-insert");
    const QVariant key = registry.insert("CREATE TABLE t (v)", "no-insert");
    QVERIFY(key.isNull());
}

void TestDatabaseRegistry::unknownIdGivesZeroAndEmptyList()
{
    DatabaseRegistry registry;
    const QVariant key = registry.insert("INSERT INTO t VALUES (1)", "never-connected");
    QCOMPARE(key.type(), QVariant::Int);
    QCOMPARE(key.toInt(), 0);
    QVERIFY(registry.query("SELECT 1", "never-connected").isEmpty());
}

void TestDatabaseRegistry::failedStatementsGiveInvalidAndEmpty()
{
    DatabaseRegistry registry;
    registry.connect(file("failing.db"), "failing");
    QVERIFY(!registry.insert("INSERT INTO missing_table VALUES (1)", "failing").isValid());
    QVERIFY(registry.query("SELECT * FROM missing_table", "failing").isEmpty());
    QVERIFY(registry.query("not sql at all", "failing").isEmpty());
}

void TestDatabaseRegistry::closeThenQueryGivesEmptyList()
{
    DatabaseRegistry registry;
    registry.connect(file("closed.db"), "closed");
    QCOMPARE(registry.query("SELECT 1 AS a", "closed").size(), 1);
    registry.close("closed");
    QVERIFY(!registry.contains("closed"));
    QVERIFY(registry.query("SELECT 1 AS a", "closed").isEmpty());
    QCOMPARE(registry.insert("SELECT 1", "closed").toInt(), 0);
    registry.close("closed");
}

void TestDatabaseRegistry::reconnectingAnIdLeavesOnlyTheSecondFile()
{
    DatabaseRegistry registry;
    registry.connect(file("first.db"), "same");
    registry.query("CREATE TABLE only_first (v)", "same");
    registry.connect(file("second.db"), "same");
    registry.query("CREATE TABLE only_second (v)", "same");
    QVERIFY(registry.query("SELECT * FROM only_first", "same").isEmpty());
    QVERIFY(registry.insert("INSERT INTO only_first VALUES (1)", "same").isNull());
    QCOMPARE(registry.insert("INSERT INTO only_second VALUES (1)", "same").toLongLong(), 1);
    QCOMPARE(QSqlDatabase::database("same", false).databaseName(), file("second.db"));
}

void TestDatabaseRegistry::unopenableFileIsStoredButEveryStatementFails()
{
    DatabaseRegistry registry;
    registry.connect(file("no-folder/x.db"), "unopenable");
    QVERIFY(registry.contains("unopenable"));
    QVERIFY(registry.query("SELECT 1 AS a", "unopenable").isEmpty());
    QVERIFY(!registry.insert("SELECT 1", "unopenable").isValid());
}

void TestDatabaseRegistry::destructionClosesEveryConnection()
{
    {
        DatabaseRegistry registry;
        registry.connect(file("a.db"), "destroyed-a");
        registry.connect(file("b.db"), "destroyed-b");
        QVERIFY(QSqlDatabase::database("destroyed-a", false).isOpen());
    }
    QVERIFY(!QSqlDatabase::database("destroyed-a", false).isOpen());
    QVERIFY(!QSqlDatabase::database("destroyed-b", false).isOpen());
}

QTEST_GUILESS_MAIN(TestDatabaseRegistry)
#include "tst_databaseregistry.moc"
