// The streamed result line against the result map serialised whole, and the walk both share.
#include "circuitgenerator.h"
#include "jsonvariant.h"
#include "randomstreams.h"
#include "resultjsonwriter.h"
#include "samplemaps.h"

#include <QtTest>

namespace {

struct Streamed {
    QByteArrayList pieces;
    bool ok = false;
    size_t listedWires = 0;
};

// Generates the map and writes its result through a writer of the given buffer size.
Streamed streamResult(CircuitGenerator &generator, const QVariantMap &map, int bufferBytes)
{
    generator.readParameters(map);
    generator.generateCircuit();
    Streamed streamed;
    ResultJsonWriter writer(
            [&streamed](const QByteArray &piece) {
                streamed.pieces.append(piece);
                return true;
            },
            bufferBytes);
    generator.visitResultWires([&](const ResultWire &wire) {
        writer.writeWire(wire);
        ++streamed.listedWires;
    });
    streamed.ok = writer.finish();
    return streamed;
}

} // namespace

class TestResultJsonWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void streamEqualsTheSerialisedResultMap_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<QByteArray>("overrides");
        QTest::addColumn<bool>("cutsSome");
        QTest::newRow("showcase") << "render_showcase_map.json" << QByteArray() << false;
        QTest::newRow("default") << "render_default_map.json" << QByteArray() << false;
        QTest::newRow("file mask") << "render_filemask_map.json" << QByteArray() << false;
        QTest::newRow("mixed") << "render_mixed_map.json" << QByteArray() << false;
        QTest::newRow("showcase, larger, with cut-off")
                << "render_showcase_map.json"
                << QByteArray(R"({"width": 2400, "height": 1800, "cutoff_length": 0.3, "cutoff_percentage": 0.4})")
                << true;
        QTest::newRow("empty circuit") << "render_showcase_map.json" << QByteArray(R"({"scale": 0})") << false;
    }

    void streamEqualsTheSerialisedResultMap()
    {
        QFETCH(QString, map);
        QFETCH(QByteArray, overrides);
        QFETCH(bool, cutsSome);
        const QVariantMap parameters = sampleMap(map, overrides);
        CircuitGenerator whole;
        const QByteArray expected = resultMapToJson(whole.generate(parameters)) + "\n";

        // A small buffer, so that the larger maps go out in many pieces.
        const int bufferBytes = 4096;
        CircuitGenerator generator;
        const Streamed streamed = streamResult(generator, parameters, bufferBytes);
        QVERIFY(streamed.ok);
        QCOMPARE(streamed.pieces.join(), expected);
        for (int i = 0; i + 1 < streamed.pieces.size(); ++i)
            QVERIFY(streamed.pieces.at(i).size() >= bufferBytes);
        QCOMPARE(streamed.pieces.size() > 1, expected.size() > bufferBytes);

        // The same cut-off draws: stream 4 ends where the result map left it.
        QCOMPARE(generator.streams().states(), whole.streams().states());
        QCOMPARE(streamed.listedWires < generator.circuit()->wires().size(), cutsSome);
    }
};

QTEST_MAIN(TestResultJsonWriter)
#include "tst_resultjsonwriter.moc"
