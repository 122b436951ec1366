// The page and resolution of a print export, read from the options the plug-in gets, against
// tests/data/print_layouts.json: sizes, orientation, the resolution range and the messages.
#include "printlayout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

// The facts a case pins; the scale is that of a 600 x 848 canvas, in percent.
QVariantMap factsOf(const PrintLayout &layout)
{
    const QSizeF mm = layout.millimetres();
    QVariantMap facts {{QStringLiteral("hasPage"), layout.hasPage()},
                       {QStringLiteral("page"), QStringLiteral("none")},
                       {QStringLiteral("error"), layout.pageError()},
                       {QStringLiteral("dpi"), layout.dpi()},
                       {QStringLiteral("validDpi"), layout.hasValidDpi()}};
    if (mm.isValid()) {
        facts.insert(QStringLiteral("page"), QStringLiteral("%1x%2").arg(mm.width()).arg(mm.height()));
        facts.insert(QStringLiteral("scalePercent"), QString::number(layout.fitScalePercent(600, 848), 'f', 2));
    }
    return facts;
}

QByteArray asJson(const QVariantMap &map)
{
    return QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact);
}

} // namespace

class TestPrintLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsPageAndResolution_data()
    {
        QTest::addColumn<QVariantMap>("options");
        QTest::addColumn<QVariantMap>("expected");
        QFile file(QStringLiteral(TRESSIL_TEST_DATA_DIR "/print_layouts.json"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QJsonArray cases = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(!cases.isEmpty());
        for (const QJsonValue &value : cases) {
            const QVariantMap c = value.toObject().toVariantMap();
            QTest::newRow(qPrintable(c.value(QStringLiteral("case")).toString()))
                    << c.value(QStringLiteral("options")).toMap() << c.value(QStringLiteral("expected")).toMap();
        }
    }

    void readsPageAndResolution()
    {
        QFETCH(QVariantMap, options);
        QFETCH(QVariantMap, expected);
        QCOMPARE(asJson(factsOf(PrintLayout::fromOptions(options))), asJson(expected));
    }
};

QTEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
