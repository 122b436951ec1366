#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "loopframes.h"
#include "rendermetrics.h"
#include "renderplan.h"
#include "samplemaps.h"

#include <QtTest>

#include <cstring>

// The frames of a loop: the still at frame 0, the same frames at any multiple of the frame
// count, and motion only where the signals run.
namespace {

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return false;
    }
    return true;
}

// Pixels that differ between the frames and lie where nothing of a wire's layer is within
// `reach` pixels.
int changesAwayFromWires(const QImage &a, const QImage &b, const QImage &wires, int reach)
{
    const QImage near = CircuitRenderer::boxBlurNormalized(wires, reach);
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y) && qGray(near.pixel(x, y)) == 0)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestLoopFrames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void framesMoveOnlyTheSignals_data();
    void framesMoveOnlyTheSignals();
    void aWholeLoopBringsEverySignalBack_data() { framesMoveOnlyTheSignals_data(); }
    void aWholeLoopBringsEverySignalBack();
};

void TestLoopFrames::framesMoveOnlyTheSignals_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QByteArray>("overrides");
    QTest::addColumn<float>("scale");
    QTest::newRow("showcase: shadow, glow, vignette, chip")
            << "render_showcase_map.json" << QByteArray(R"({"width": 260, "height": 190})") << 1.0f;
    QTest::newRow("showcase at 250 %") << "render_showcase_map.json" << QByteArray(R"({"width": 200, "height": 150})")
                                      << 2.5f;
    QTest::newRow("no glow") << "render_showcase_map.json"
                             << QByteArray(R"({"width": 260, "height": 190, "signal_glowing": 0})") << 1.0f;
    QTest::newRow("glow of radius one") << "render_showcase_map.json"
                                        << QByteArray(R"({"width": 260, "height": 190, "signal_glowing": 0.1})") << 1.0f;
    QTest::newRow("straight lanes, wires a pixel wide") << "render_showcase_map.json"
                                                        << QByteArray(R"({"width": 600, "height": 400, "scale": 0.25,)"
                                                                      R"( "wire_roundness": 0})")
                                                        << 1.0f;
    QTest::newRow("text mask, chips, two lanes") << "render_mixed_map.json"
                                                 << QByteArray(R"({"width": 320, "height": 200})") << 1.0f;
    QTest::newRow("default map") << "render_default_map.json" << QByteArray(R"({"width": 240, "height": 240})")
                                 << 1.0f;
}

void TestLoopFrames::framesMoveOnlyTheSignals()
{
    QFETCH(QString, map);
    QFETCH(QByteArray, overrides);
    QFETCH(float, scale);
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, overrides));
    generator.resetSeed();
    generator.generateCircuit();
    const ArtworkScene scene(generator);
    CircuitRenderer renderer;
    const QImage still = renderer.render(scene, generator.settings(), scale, Composite)->copy();
    const QImage wires = renderer.render(scene, generator.settings(), scale, Wires)->copy();

    LoopFrames five(scene, generator.settings(), scale, 5);
    LoopFrames ten(scene, generator.settings(), scale, 10);
    QVERIFY(samePixels(five.frame(0), still));
    const int reach = RenderMetrics(generator.settings(), scale).signalGlow() + 3;
    bool moved = false;
    for (int k = 1; k < 5; ++k) {
        const QImage frame = five.frame(k).copy();
        QVERIFY2(samePixels(frame, ten.frame(2 * k)), qPrintable(QStringLiteral("frame %1 of 5").arg(k)));
        QCOMPARE(changesAwayFromWires(frame, still, wires, reach), 0);
        moved = moved || !samePixels(frame, still);
    }
    QVERIFY(moved);
}

// Frame n of an n-frame loop would be frame 0 again: every signal is back where the still
// has it, so the loop has no seam.
void TestLoopFrames::aWholeLoopBringsEverySignalBack()
{
    QFETCH(QString, map);
    QFETCH(QByteArray, overrides);
    QFETCH(float, scale);
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, overrides));
    generator.generateCircuit();
    const ArtworkScene scene(generator);
    const RenderMetrics metrics(generator.settings(), scale);
    RenderPlan plan(scene, generator.settings(), metrics, Composite);
    const QVector<RenderPlan::Stroke> still = plan.signalStrokes();
    QVERIFY(!still.isEmpty());
    plan.moveSignals(scene, generator.settings(), metrics, 7, 7);
    for (int i = 0; i < still.size(); ++i) {
        const QPolygonF before = still[i].geometry.toPainterPath().toFillPolygon();
        const QPolygonF after = plan.signalStrokes()[i].geometry.toPainterPath().toFillPolygon();
        QCOMPARE(after.size(), before.size());
        for (int p = 0; p < before.size(); ++p)
            QVERIFY2(QLineF(before[p], after[p]).length() < 1e-6, qPrintable(QStringLiteral("signal %1").arg(i)));
    }
}

QTEST_GUILESS_MAIN(TestLoopFrames)
#include "tst_loopframes.moc"
