#include "artworkscene.h"
#include "circuitbuilder.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "circuitsketch.h"
#include "jsonvariant.h"
#include "layerpalette.h"
#include "rendermetrics.h"
#include "randomstream.h"

#include <QPainter>
#include <QtTest>

#include <cmath>

namespace {

// 20-pixel cells (scale 1), plain colours, no effects unless a test asks.
GeneratorSettings plainSettings(int width, int height)
{
    GeneratorSettings settings;
    settings.width = width;
    settings.height = height;
    settings.scale = 1.0f;
    settings.vignetting = 0.0f;
    settings.bgColor = {0, 50, 100};
    return settings;
}

// How many values of stream 5 were drawn between two states (at most 50).
int drawsBetween(qint64 before, qint64 after)
{
    RandomStream stream(before);
    for (int draws = 0; draws <= 50; ++draws) {
        if (stream.state() == after)
            return draws;
        stream.next();
    }
    return -1;
}

bool isGrey(QRgb pixel)
{
    return qAlpha(pixel) == 255 && qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

int brightness(QRgb pixel)
{
    return qRed(pixel) + qGreen(pixel) + qBlue(pixel);
}

// Renders a hand-built circuit, its scene drawn from a stream in the given state.
const QImage *draw(CircuitRenderer &renderer, const Circuit &circuit, const GeneratorSettings &settings,
                   RenderLayer layer, float renderScale = 1.0f, qint64 signalState = 0)
{
    RandomStream signal(signalState);
    return renderer.render(ArtworkScene(circuit, settings, signal), settings, renderScale, layer);
}

} // namespace

class TestCircuitRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void canvasSizeFollowsTheRoundedRenderScale_data();
    void canvasSizeFollowsTheRoundedRenderScale();
    void boxBlurStretchesTheBlurredRangeWithoutTouchingTheSource();
    void maskLayersAreWhiteShapesOnBlack_data();
    void maskLayersAreWhiteShapesOnBlack();
    void componentsLayerHasWhitePinsAndDarkBodies();
    void sceneDrawsOncePerDotPointAndSignalLane_data();
    void sceneDrawsOncePerDotPointAndSignalLane();
    void padsHaveHolesAndInnerDiscs_data();
    void padsHaveHolesAndInnerDiscs();
    void glowingDotsAmountDecidesWhichEndsGlow_data();
    void glowingDotsAmountDecidesWhichEndsGlow();
    void shadowWithNothingToShadeLeavesTheBackground_data();
    void shadowWithNothingToShadeLeavesTheBackground();
    void shadowDarkensBesideWires();
    void signalGlowHaloFollowsSignalGlowing();
    void vignetteDarkensTheCorners();
    void sketchDrawsTheWiresWhereTheArtworkHasThem_data();
    void sketchDrawsTheWiresWhereTheArtworkHasThem();

private:
    QVariantMap m_showcase;
};

void TestCircuitRenderer::initTestCase()
{
    QString error;
    QVERIFY2(readJsonParameterFile(TRESSIL_TEST_DATA_DIR "/render_showcase_map.json", &m_showcase, &error),
             qPrintable(error));
}

void TestCircuitRenderer::canvasSizeFollowsTheRoundedRenderScale_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<float>("renderScale");
    QTest::addColumn<QSize>("size");
    QTest::newRow("601 x 400 at 50 % rounds 300.5 up to 301 x 200") << 601 << 400 << 0.5f << QSize(301, 200);
    QTest::newRow("600 x 400 at 50 % is 300 x 200") << 600 << 400 << 0.5f << QSize(300, 200);
    QTest::newRow("scale 1 keeps the canvas") << 600 << 600 << 1.0f << QSize(600, 600);
    QTest::newRow("400 % of 100 x 50 is 400 x 200") << 100 << 50 << 4.0f << QSize(400, 200);
    QTest::newRow("a canvas rounding to 0 pixels draws nothing") << 1 << 1 << 0.4f << QSize();
    QTest::newRow("a negative scale draws nothing") << 600 << 600 << -1.0f << QSize();
    QTest::newRow("a scale that is not a number draws nothing") << 600 << 600 << float(NAN) << QSize();
    QTest::newRow("an infinite scale draws nothing") << 600 << 600 << float(INFINITY) << QSize();
    QTest::newRow("a zero-width canvas draws nothing") << 0 << 600 << 1.0f << QSize();
    QTest::newRow("more than 16384 pixels a side draws nothing") << 16385 << 10 << 1.0f << QSize();
    QTest::newRow("more than 40 million pixels draws nothing") << 8000 << 8000 << 1.0f << QSize();
    QTest::newRow("an overflowing scale draws nothing") << 600 << 600 << 1e30f << QSize();
}

void TestCircuitRenderer::canvasSizeFollowsTheRoundedRenderScale()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(float, renderScale);
    QFETCH(QSize, size);
    Circuit circuit(0, 0);
    CircuitRenderer renderer;
    const QImage *image = draw(renderer, circuit, plainSettings(width, height), Composite, renderScale);
    QCOMPARE(image ? image->size() : QSize(), size);
    QCOMPARE(renderer.image(), image);
    if (image)
        QCOMPARE(image->format(), QImage::Format_ARGB32);
}

void TestCircuitRenderer::boxBlurStretchesTheBlurredRangeWithoutTouchingTheSource()
{
    QImage source(5, 5, QImage::Format_ARGB32);
    source.fill(Qt::white);
    source.setPixel(2, 2, qRgb(0, 0, 0));
    const QImage before = source.copy();
    const QImage blurred = CircuitRenderer::boxBlurNormalized(source, 1);
    // The 3 × 3 box around the black pixel averages to 8/9 of white, which the
    // min-max stretch turns into black; everything else stays white.
    QCOMPARE(blurred.format(), QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool nearBlack = qAbs(x - 2) <= 1 && qAbs(y - 2) <= 1;
            QCOMPARE(qRed(blurred.pixel(x, y)), nearBlack ? 0 : 255);
        }
    }
    QCOMPARE(source, before);
}

void TestCircuitRenderer::maskLayersAreWhiteShapesOnBlack_data()
{
    QTest::addColumn<int>("layer");
    QTest::newRow("wires") << int(Wires);
    QTest::newRow("dots") << int(Dots);
    QTest::newRow("signals") << int(Signals);
    QTest::newRow("dot signals") << int(DotSignals);
}

void TestCircuitRenderer::maskLayersAreWhiteShapesOnBlack()
{
    QFETCH(int, layer);
    CircuitGenerator generator;
    generator.readParameters(m_showcase);
    CircuitRenderer renderer;
    generator.generateCircuit();
    const QImage image = *renderer.render(ArtworkScene(generator), generator.settings(), 1.0f, RenderLayer(layer));
    int white = 0;
    int black = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(isGrey(pixel), qPrintable(QStringLiteral("pixel %1, %2").arg(x).arg(y)));
            white += qRed(pixel) == 255;
            black += qRed(pixel) == 0;
        }
    }
    QVERIFY(white > 100);
    QVERIFY(black > image.width() * image.height() / 2);
}

void TestCircuitRenderer::componentsLayerHasWhitePinsAndDarkBodies()
{
    Circuit circuit(10, 10);
    const ChipSpec entry {0.5f, 0.5f, 4, 2, 3, true};
    circuit.reserveChips(1);
    circuit.addChip(entry, ChipPlacement {3, 4, 6, 5, true, true, true});
    CircuitRenderer renderer;
    const QImage image = *draw(renderer, circuit, plainSettings(200, 200), Components);
    // Columns 3..6 and rows 4..5 of 20-pixel cells: the body spans 56..144 by
    // 76..124; top pins of column 3 span x 66..74, y 62..84, bottom pins y
    // 116..138; left pins of row 4 span x 42..64, y 86..94, right pins x 136..158.
    QCOMPARE(image.pixel(100, 100), qRgb(30, 30, 30));
    QCOMPARE(image.pixel(70, 66), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(70, 134), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(46, 90), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(154, 90), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(5, 5), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(46, 70), qRgb(0, 0, 0));
}

void TestCircuitRenderer::sceneDrawsOncePerDotPointAndSignalLane_data()
{
    QTest::addColumn<int>("cellCount");
    QTest::addColumn<int>("density");
    QTest::addColumn<bool>("laneEnds");
    QTest::addColumn<float>("dotSize");
    QTest::addColumn<float>("signalSize");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("draws");
    QTest::newRow("a three-cell wire draws once per end cell") << 3 << 1 << false << 1.2f << -1.0f << false << 2;
    QTest::newRow("a two-cell wire draws once per cell") << 2 << 1 << false << 1.2f << -1.0f << false << 2;
    QTest::newRow("a one-cell wire draws once") << 1 << 1 << false << 1.2f << -1.0f << false << 1;
    QTest::newRow("lane ends draw once more each") << 4 << 2 << true << 1.2f << -1.0f << false << 4;
    QTest::newRow("dot size 0 draws only for the lane ends") << 4 << 2 << true << 0.0f << -1.0f << false << 2;
    QTest::newRow("dot size 0 without lane ends draws nothing") << 4 << 1 << false << 0.0f << -1.0f << false << 0;
    QTest::newRow("a signal draws once per lane") << 4 << 2 << false << 1.2f << 0.5f << false << 4;
    QTest::newRow("a one-cell wire draws no signal") << 1 << 1 << false << 1.2f << 0.5f << false << 1;
    QTest::newRow("a removed wire draws nothing") << 4 << 2 << true << 1.2f << 0.5f << true << 0;
}

void TestCircuitRenderer::sceneDrawsOncePerDotPointAndSignalLane()
{
    QFETCH(int, cellCount);
    QFETCH(int, density);
    QFETCH(bool, laneEnds);
    QFETCH(float, dotSize);
    QFETCH(float, signalSize);
    QFETCH(bool, removed);
    QFETCH(int, draws);
    CircuitBuilder builder(6, 3);
    QVector<QPoint> cells;
    for (int x = 0; x < cellCount; ++x)
        cells.append(QPoint(x, 1));
    Wire &wire = builder.addWire(cells, density);
    if (laneEnds)
        builder.setLaneEnds(wire, {0, 0}, {cellCount - 1, 0}, 0);
    wire.signalSize = signalSize;
    wire.signalPosition = signalSize < 0 ? -1.0f : 0.5f;
    wire.removed = removed;
    GeneratorSettings settings = plainSettings(120, 60);
    settings.dotSize = dotSize;
    RandomStream signal(12345);
    const ArtworkScene scene(builder.circuit(), settings, signal);
    QCOMPARE(drawsBetween(12345, signal.state()), draws);
}

void TestCircuitRenderer::padsHaveHolesAndInnerDiscs_data()
{
    QTest::addColumn<float>("holeSize");
    QTest::addColumn<QRgb>("centre");
    QTest::addColumn<QRgb>("hole");
    QTest::addColumn<QRgb>("rim");
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    // dot_size 2 on 20-pixel cells: r = 10; hole size 0.5: rh = 5, ri = roundf(2.5) = 3.
    // Around the centre (30, 30): pixel 33 lies between ri and rh, pixel 37 between rh and r.
    QTest::newRow("a pad is a disc with a hole and an inner disc") << 0.5f << white << black << white;
    QTest::newRow("hole size 0 gives a solid disc") << 0.0f << white << white << white;
    QTest::newRow("hole size 1 suppresses the pad") << 1.0f << black << black << black;
}

void TestCircuitRenderer::padsHaveHolesAndInnerDiscs()
{
    QFETCH(float, holeSize);
    QFETCH(QRgb, centre);
    QFETCH(QRgb, hole);
    QFETCH(QRgb, rim);
    CircuitBuilder builder(3, 3);
    builder.addWire({{1, 1}});
    GeneratorSettings settings = plainSettings(60, 60);
    settings.dotSize = 2.0f;
    settings.holeSize = holeSize;
    CircuitRenderer renderer;
    const QImage image = *draw(renderer, builder.circuit(), settings, Dots);
    QCOMPARE(image.pixel(30, 30), centre);
    QCOMPARE(image.pixel(33, 30), hole);
    QCOMPARE(image.pixel(37, 30), rim);
    QCOMPARE(image.pixel(45, 30), qRgb(0, 0, 0));
}

void TestCircuitRenderer::glowingDotsAmountDecidesWhichEndsGlow_data()
{
    QTest::addColumn<float>("amount");
    QTest::addColumn<bool>("firstGlows");
    QTest::addColumn<bool>("lastGlows");
    // Stream 5 from state 0 draws 0.2113, then 0.7094.
    QTest::newRow("amount 0 never glows") << 0.0f << false << false;
    QTest::newRow("amount 0.5 glows where the draw is below it") << 0.5f << true << false;
    QTest::newRow("amount 1 glows at every end point") << 1.0f << true << true;
}

void TestCircuitRenderer::glowingDotsAmountDecidesWhichEndsGlow()
{
    QFETCH(float, amount);
    QFETCH(bool, firstGlows);
    QFETCH(bool, lastGlows);
    CircuitBuilder builder(5, 3);
    builder.addWire({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});
    GeneratorSettings settings = plainSettings(100, 60);
    settings.glowingDotsAmount = amount;
    CircuitRenderer renderer;
    const QImage image = *draw(renderer, builder.circuit(), settings, DotSignals);
    QCOMPARE(image.pixel(10, 30) == qRgb(255, 255, 255), firstGlows);
    QCOMPARE(image.pixel(90, 30) == qRgb(255, 255, 255), lastGlows);
    QCOMPARE(image.pixel(50, 30), qRgb(0, 0, 0));
}

void TestCircuitRenderer::shadowWithNothingToShadeLeavesTheBackground_data()
{
    QTest::addColumn<bool>("removedWire");
    QTest::newRow("a circuit without wires") << false;
    QTest::newRow("a circuit with only a removed wire") << true;
}

void TestCircuitRenderer::shadowWithNothingToShadeLeavesTheBackground()
{
    QFETCH(bool, removedWire);
    CircuitBuilder builder(3, 3);
    if (removedWire)
        builder.addWire({{0, 0}, {1, 1}, {2, 2}}).removed = true;
    GeneratorSettings settings = plainSettings(60, 60);
    settings.wireShadow = 1.0f;
    CircuitRenderer renderer;
    const QImage image = *draw(renderer, builder.circuit(), settings, Composite);
    QImage background(60, 60, QImage::Format_ARGB32);
    background.fill(QColor(0, 50, 100));
    QCOMPARE(image, background);
}

void TestCircuitRenderer::shadowDarkensBesideWires()
{
    CircuitBuilder builder(5, 5);
    builder.addWire({{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}});
    GeneratorSettings settings = plainSettings(100, 100);
    settings.bgColor = {200, 200, 200};
    settings.dotSize = 0.0f;
    settings.wireShadow = 1.0f;
    CircuitRenderer renderer;
    const QImage image = *draw(renderer, builder.circuit(), settings, Composite);
    // The stroke is 5 pixels wide on y = 50; the 7 × 7 blur reaches 3 pixels past it.
    QVERIFY(brightness(image.pixel(50, 54)) < 3 * 200);
    QCOMPARE(image.pixel(50, 90), qRgb(200, 200, 200));
    QCOMPARE(image.pixel(50, 50), qRgb(255, 255, 255));
}

void TestCircuitRenderer::signalGlowHaloFollowsSignalGlowing()
{
    CircuitBuilder builder(5, 5);
    Wire &wire = builder.addWire({{1, 2}, {2, 2}, {3, 2}});
    wire.signalSize = 0.25f;
    wire.signalPosition = 0.5f;
    GeneratorSettings settings = plainSettings(100, 100);
    settings.wireColor = settings.bgColor; // only the signal stands out
    settings.dotSize = 0.0f;
    CircuitRenderer renderer;
    const QRgb background = qRgb(0, 50, 100);

    // Stream 5 from state 0: the one signal draw 0.2113 puts the stretch on cells 0 to 2.
    // A white signal dodges every non-zero channel of the background to full.
    settings.signalGlowing = 0.0f;
    QImage image = *draw(renderer, builder.circuit(), settings, Composite);
    QCOMPARE(image.pixel(50, 50), qRgb(0, 255, 255));
    QCOMPARE(image.pixel(50, 58), background);

    settings.signalGlowing = 1.0f; // g = 10
    image = *draw(renderer, builder.circuit(), settings, Composite);
    QVERIFY(brightness(image.pixel(50, 58)) > brightness(background));
    QCOMPARE(image.pixel(50, 95), background);
}

void TestCircuitRenderer::vignetteDarkensTheCorners()
{
    Circuit circuit(0, 0);
    GeneratorSettings settings = plainSettings(100, 100);
    settings.bgColor = {128, 128, 128};
    CircuitRenderer renderer;
    QImage image = *draw(renderer, circuit, settings, Composite);
    QCOMPARE(image.pixel(0, 0), qRgb(128, 128, 128));
    settings.vignetting = 0.5f;
    image = *draw(renderer, circuit, settings, Composite);
    QVERIFY(brightness(image.pixel(0, 0)) < 3 * 128);
    QVERIFY(brightness(image.pixel(50, 50)) > 3 * 128);
}

void TestCircuitRenderer::sketchDrawsTheWiresWhereTheArtworkHasThem_data()
{
    QTest::addColumn<QVariantMap>("overrides");
    QTest::addColumn<float>("renderScale");
    QTest::newRow("showcase") << QVariantMap() << 1.0f;
    QTest::newRow("showcase reduced: wires under a pixel wide") << QVariantMap() << 0.2f;
    QTest::newRow("thick round double lanes and a chip")
            << QVariantMap {{"wire_thickness", 3.0}, {"wire_roundness", 1.0}, {"wire_thick_percent", 0.6}} << 0.7f;
}

// The quick sketch shown before a slow artwork is the same circuit: its ink lies on the
// artwork's wires and pads, every wire end has a pad, and it has the artwork's size.
void TestCircuitRenderer::sketchDrawsTheWiresWhereTheArtworkHasThem()
{
    QFETCH(QVariantMap, overrides);
    QFETCH(float, renderScale);
    QVariantMap map = m_showcase;
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        map.insert(it.key(), it.value());
    CircuitGenerator generator;
    generator.readParameters(map);
    generator.generateCircuit();
    const QImage sketch = CircuitSketch::draw(*generator.circuit(), generator.settings(), renderScale);
    // The artwork's shapes: wires, pads and chips, white on black.
    CircuitRenderer renderer;
    QImage shapes;
    for (RenderLayer layer : {Wires, Dots, Components}) {
        generator.resetSeed();
        generator.generateCircuit();
        const QImage *drawn = renderer.render(ArtworkScene(generator), generator.settings(), renderScale, layer);
        QVERIFY(drawn);
        if (shapes.isNull()) {
            shapes = drawn->copy();
            continue;
        }
        QPainter painter(&shapes);
        painter.setCompositionMode(QPainter::CompositionMode_Lighten);
        painter.drawImage(0, 0, *drawn);
    }
    QVERIFY(!sketch.isNull());
    QCOMPARE(sketch.size(), shapes.size());
    const QRgb paper = LayerPalette(generator.settings(), Composite).background().rgb();
    // Ink within a pixel of the artwork's shapes.
    auto nearArtwork = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (shapes.rect().contains(x + dx, y + dy) && qRed(shapes.pixel(x + dx, y + dy)) > 0)
                    return true;
        return false;
    };
    int ink = 0, onArtwork = 0;
    for (int y = 0; y < sketch.height(); ++y) {
        for (int x = 0; x < sketch.width(); ++x) {
            if (sketch.pixel(x, y) == paper)
                continue;
            ++ink;
            onArtwork += nearArtwork(x, y) ? 1 : 0;
        }
    }
    QVERIFY(ink > sketch.width() * sketch.height() / 50);
    QVERIFY2(onArtwork >= ink * 97 / 100, qPrintable(QStringLiteral("%1 of %2").arg(onArtwork).arg(ink)));
    // Nearly every wire end shows (a pad too faint to differ from the paper does not).
    const RenderMetrics metrics(generator.settings(), renderScale);
    int ends = 0, shown = 0;
    for (const auto &wire : generator.circuit()->wires()) {
        const QPoint end = metrics.cellCentre(wire->cells.back()->x, wire->cells.back()->y);
        ++ends;
        shown += sketch.rect().contains(end) && sketch.pixel(end) != paper ? 1 : 0;
    }
    QVERIFY2(shown >= ends * 95 / 100, qPrintable(QStringLiteral("%1 of %2").arg(shown).arg(ends)));
}

QTEST_GUILESS_MAIN(TestCircuitRenderer)
#include "tst_circuitrenderer.moc"
