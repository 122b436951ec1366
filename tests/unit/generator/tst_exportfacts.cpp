// The export facts the plug-in hands to the studio's page, against tests/data/export_facts.json:
// the page reads them instead of keeping copies, so a change here is a change the studio sees.
#include "exportfacts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestExportFacts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void factsAreTheCoresOwn()
    {
        QFile file(QStringLiteral(TRESSIL_TEST_DATA_DIR "/export_facts.json"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QJsonDocument expected = QJsonDocument::fromJson(file.readAll());
        QVERIFY(expected.isObject());
        const QJsonDocument actual(QJsonObject::fromVariantMap(ExportFacts::toVariant()));
        QCOMPARE(actual.toJson(QJsonDocument::Compact), expected.toJson(QJsonDocument::Compact));
    }
};

QTEST_MAIN(TestExportFacts)
#include "tst_exportfacts.moc"
