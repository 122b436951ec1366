// The script API reference (docs/api/*.md) and its declarations (docs/api/tressil.d.ts) kept
// in step with what page script really gets: the public slots of `ovex` and the window object
// as their meta-objects list them, and the members of the glue library as it defines them.
#include "jsapiovex.h"
#include "jsapiwin.h"

#include <QDir>
#include <QFile>
#include <QJSEngine>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList sorted(const QSet<QString> &names)
{
    QStringList list = names.values();
    list.sort();
    return list;
}

// Names of the public slots a meta-object adds to QObject's.
QStringList publicSlots(const QMetaObject &meta)
{
    QSet<QString> names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Public)
            names.insert(QString::fromLatin1(method.name()));
    }
    return sorted(names);
}

// Every member, own or inherited, of the value `expression` has after the glue library ran.
QStringList glueMembers(const QString &expression)
{
    QJSEngine engine;
    engine.evaluate(readText(QStringLiteral(OVEX_JS_PATH)));
    const QJSValue names = engine.evaluate(QStringLiteral("(function (o) { var n = []; for (var k in o) n.push(k);"
                                                          " return n.join(' '); })(") + expression + ')');
    if (names.isError())
        return {QStringLiteral("<error: ") + names.toString() + '>'};
    const QStringList list = names.toString().split(' ', Qt::SkipEmptyParts);
    return sorted(QSet<QString>(list.cbegin(), list.cend()));
}

// Members the reference gives a table row of their own: lines that start with "| `" and the
// prefix, followed by the name.
QStringList documentedNames(const QString &reference, const QString &prefix)
{
    const QRegularExpression row(QStringLiteral("^\\| `") + QRegularExpression::escape(prefix)
                                         + QStringLiteral("(\\w+)[(` ]"),
                                 QRegularExpression::MultilineOption);
    QSet<QString> names;
    auto matches = row.globalMatch(reference);
    while (matches.hasNext())
        names.insert(matches.next().captured(1));
    return sorted(names);
}

// Members declared in `interface NAME {` or `declare class NAME {` up to its closing brace.
QStringList declaredNames(const QString &declarations, const QString &block)
{
    const QRegularExpression start(QStringLiteral("^(?:interface|declare class) ") + block + QStringLiteral(" \\{$"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpressionMatch opened = start.match(declarations);
    if (!opened.hasMatch())
        return {QStringLiteral("<no block ") + block + '>'};
    const int end = declarations.indexOf(QStringLiteral("\n}"), opened.capturedEnd());
    const QString body = declarations.mid(opened.capturedEnd(), end - opened.capturedEnd());
    const QRegularExpression member(QStringLiteral("^    (\\w+)\\??[(:]"), QRegularExpression::MultilineOption);
    QSet<QString> names;
    auto matches = member.globalMatch(body);
    while (matches.hasNext())
        names.insert(matches.next().captured(1));
    names.remove(QStringLiteral("constructor"));
    return sorted(names);
}

// "missing: a b; extra: c", or "" when both lists hold the same names.
QString difference(const QStringList &expected, const QStringList &actual)
{
    const QSet<QString> want(expected.cbegin(), expected.cend());
    const QSet<QString> have(actual.cbegin(), actual.cend());
    QStringList parts;
    if (!(want - have).isEmpty())
        parts << QStringLiteral("missing: ") + sorted(want - have).join(' ');
    if (!(have - want).isEmpty())
        parts << QStringLiteral("absent from the API: ") + sorted(have - want).join(' ');
    return parts.join(QStringLiteral("; "));
}

} // namespace

class TestApiReference : public QObject
{
    Q_OBJECT

private:
    QString reference;    // every page of the reference
    QString declarations; // tressil.d.ts

private Q_SLOTS:
    void initTestCase();
    void referenceDocumentsExactlyTheApi_data() { surface(); }
    void referenceDocumentsExactlyTheApi();
    void declarationsDeclareExactlyTheApi_data() { surface(); }
    void declarationsDeclareExactlyTheApi();
    void everyRowOfTheReferenceHasAnExample();

private:
    void surface();
};

void TestApiReference::initTestCase()
{
    const QDir docs(QStringLiteral(TRESSIL_SOURCE_DIR "/docs/api"));
    for (const QString &page : docs.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name))
        reference += readText(docs.filePath(page));
    declarations = readText(docs.filePath(QStringLiteral("tressil.d.ts")));
    QVERIFY(!reference.isEmpty());
    QVERIFY(!declarations.isEmpty());
}

// One row per object page script can reach: its members as the program has them, the prefix
// of its rows in the reference and its block in the declarations.
void TestApiReference::surface()
{
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("block");
    QTest::newRow("ovex") << publicSlots(JSApiOvex::staticMetaObject) << "ovex." << "OvexApi";
    QTest::newRow("window object") << publicSlots(JSApiWin::staticMetaObject) << "xwin." << "WindowObject";
    QTest::newRow("app") << glueMembers("app") << "app." << "OvexApp";
    QTest::newRow("app.system") << glueMembers("app.system") << "app.system." << "OvexAppSystem";
    QTest::newRow("app.fs") << glueMembers("app.fs") << "app.fs." << "OvexAppFs";
    QTest::newRow("app.db") << glueMembers("app.db") << "app.db." << "OvexAppDb";
    QTest::newRow("app.reg") << glueMembers("app.reg") << "app.reg." << "OvexAppReg";
    QTest::newRow("WIN") << glueMembers("new WIN(null, null)") << "win." << "WIN";
    QTest::newRow("_OVEX_DB") << glueMembers("new _OVEX_DB('id')") << "db." << "_OVEX_DB";
    QTest::newRow("_OVEX") << glueMembers("_OVEX") << "_OVEX." << "OvexGlue";
}

void TestApiReference::referenceDocumentsExactlyTheApi()
{
    QFETCH(QStringList, members);
    QFETCH(QString, prefix);
    QVERIFY(!members.isEmpty());
    QCOMPARE(difference(members, documentedNames(reference, prefix)), QString());
}

void TestApiReference::declarationsDeclareExactlyTheApi()
{
    QFETCH(QStringList, members);
    QFETCH(QString, block);
    QCOMPARE(difference(members, declaredNames(declarations, block)), QString());
}

// A member row has three cells: the call, what it does, and an example in backticks.
void TestApiReference::everyRowOfTheReferenceHasAnExample()
{
    const QRegularExpression memberRow(QStringLiteral("^\\| `[^|]*\\|[^|]*\\|(.*)\\|$"), QRegularExpression::MultilineOption);
    QStringList withoutExample;
    int rows = 0;
    auto matches = memberRow.globalMatch(reference);
    while (matches.hasNext()) {
        const QRegularExpressionMatch row = matches.next();
        ++rows;
        if (!row.captured(1).trimmed().startsWith('`'))
            withoutExample << row.captured(0);
    }
    QVERIFY(rows > 300);
    QCOMPARE(withoutExample.join('\n'), QString());
}

QTEST_GUILESS_MAIN(TestApiReference)
#include "tst_apireference.moc"
