// Native text quoted for script must evaluate back to exactly that text.
#include "scriptliteral.h"

#include <QJSEngine>
#include <QtTest>

class TestScriptLiteral : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quotedTextEvaluatesToItself_data();
    void quotedTextEvaluatesToItself();
    void arrayEvaluatesToTheSameStrings();
};

void TestScriptLiteral::quotedTextEvaluatesToItself_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("backslashes of a windows path") << QStringLiteral("C:\\a b\\c");
    QTest::newRow("single and double quotes") << QStringLiteral("it's \"quoted\"");
    QTest::newRow("crafted escape attempt") << QStringLiteral("\\'); alert(1); //");
    QTest::newRow("line feed, carriage return, tab") << QStringLiteral("a\nb\rc\td");
    QTest::newRow("unicode line terminators") << QString::fromUtf8("x\u2028y\u2029z");
    QTest::newRow("other control characters") << QString::fromLatin1("\x01\x08\x0b\x0c\x1f\x7f", 6);
    QTest::newRow("zero character") << QString(QChar(0)) + QStringLiteral("after");
    QTest::newRow("non-ASCII and astral") << QString::fromUtf8("äöü € 日本 😀");
    QTest::newRow("closing script tag") << QStringLiteral("</script><script>");
}

void TestScriptLiteral::quotedTextEvaluatesToItself()
{
    QFETCH(QString, text);
    QJSEngine engine;
    const QString literal = ScriptLiteral::quote(text);
    QVERIFY(!literal.contains(QLatin1Char('\n')) && !literal.contains(QChar(0x2028)));
    const QJSValue value = engine.evaluate(literal);
    QVERIFY2(!value.isError(), qPrintable(value.toString()));
    QCOMPARE(value.toString(), text);
}

void TestScriptLiteral::arrayEvaluatesToTheSameStrings()
{
    const QStringList texts {QStringLiteral("/usr/bin/tressil"), QStringLiteral("C:\\a b"), QStringLiteral("x'y"),
                             QString()};
    QJSEngine engine;
    const QJSValue value = engine.evaluate(ScriptLiteral::array(texts));
    QCOMPARE(value.toVariant().toStringList(), texts);
    QCOMPARE(ScriptLiteral::array({}), QStringLiteral("[]"));
}

QTEST_GUILESS_MAIN(TestScriptLiteral)
#include "tst_scriptliteral.moc"
