#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "cvimageadapter.h"
#include "imageblender.h"
#include "samplemaps.h"

#include <QtTest>

#include <cstring>
#include <random>

// A render cut into bands, or shared among threads, gives exactly the pixels
// of the whole-canvas render: effects read real rows across band edges, the
// blur stretches use ranges over the whole canvas, and every random draw is
// made before the first band.
namespace {

// The first differing row, for the failure message; -1 when equal.
int firstDifferentRow(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 0;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return y;
    }
    return -1;
}

QImage renderWith(CircuitGenerator &generator, float scale, RenderLayer layer, int bandRows, int threads)
{
    CircuitRenderer renderer;
    renderer.setBandRows(bandRows);
    renderer.setThreadCount(threads);
    generator.resetSeed();
    generator.generateCircuit();
    const QImage *image = renderer.render(ArtworkScene(generator), generator.settings(), scale, layer);
    return image ? image->copy() : QImage();
}

} // namespace

class TestBandedRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bandsGiveTheWholeCanvasPixels_data();
    void bandsGiveTheWholeCanvasPixels();
    void fineScaleSeamsAreExact_data();
    void fineScaleSeamsAreExact();
    void streamedBandsCoverTheCanvasInOrder();
    void smallCanvasIsSharedAmongTheThreads();
    void blurStripsGiveTheWholeBlur_data();
    void blurStripsGiveTheWholeBlur();
    void blurOverFillGivesTheWholeBlur_data();
    void blurOverFillGivesTheWholeBlur();
    void neutralSourcesBlendAsQPainterDoes_data();
    void neutralSourcesBlendAsQPainterDoes();
};

void TestBandedRender::bandsGiveTheWholeCanvasPixels_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QByteArray>("overrides");
    QTest::addColumn<float>("scale");
    QTest::addColumn<int>("layer");
    const QByteArray small = R"({"width": 260, "height": 190})";
    struct Variant {
        const char *name;
        const char *map;
        QByteArray overrides;
    };
    const Variant variants[] = {
            {"showcase: shadow, glow, vignette, chip", "render_showcase_map.json", small},
            {"strong shadow, no glow", "render_showcase_map.json",
             R"({"width": 260, "height": 190, "wire_shadow": 1.0, "signal_glowing": 0})"},
            {"glow of radius one", "render_showcase_map.json",
             R"({"width": 260, "height": 190, "signal_glowing": 0.1, "glowing_dots_amount": 1})"},
            {"wide glow, full vignette", "render_showcase_map.json",
             R"({"width": 260, "height": 190, "signal_glowing": 2.5, "vignetting": 1.0})"},
            {"text mask, modifier, adjustment, chips", "render_mixed_map.json", R"({"width": 320, "height": 200})"},
            {"file mask", "render_filemask_map.json", R"({"width": 250, "height": 180})"},
            {"default map", "render_default_map.json", R"({"width": 240, "height": 240})"},
            // Signals cover all but scattered pixels, so the wide signal blur
            // has no black window and its range starts above zero.
            {"thick orange signals flooding a small canvas", "render_mixed_map.json",
             R"({"width": 160, "height": 120, "wire_thickness": 12, "max_wire_thickness": 5, "signal_amount": 1,)"
             R"( "signal_size": 9, "signal_size_variance": 0, "signal_glowing": 1.0, "masking": 0, "scale": 0.25,)"
             R"( "dense_amount": 1})"},
            {"nothing drawn under a shadow", "render_showcase_map.json",
             R"({"width": 260, "height": 190, "scale": 40})"},
    };
    for (const Variant &variant : variants) {
        for (float scale : {1.0f, 2.5f}) {
            for (int layer : {int(Composite), int(Wires), int(Components), int(Signals), int(DotSignals)}) {
                if (layer != Composite && scale != 1.0f)
                    continue;
                QTest::addRow("%s, layer %d at %g %%", variant.name, layer, double(scale * 100))
                        << QString::fromLatin1(variant.map) << variant.overrides << scale << layer;
            }
        }
    }
}

void TestBandedRender::bandsGiveTheWholeCanvasPixels()
{
    QFETCH(QString, map);
    QFETCH(QByteArray, overrides);
    QFETCH(float, scale);
    QFETCH(int, layer);
    CircuitGenerator generator;
    generator.readParameters(sampleMap(map, overrides));
    const QImage whole = renderWith(generator, scale, RenderLayer(layer), 0, 1);
    QVERIFY(!whole.isNull());
    for (int rows : {7, 37, 64}) {
        for (int threads : {1, 3}) {
            const QImage banded = renderWith(generator, scale, RenderLayer(layer), rows, threads);
            const int row = firstDifferentRow(banded, whole);
            QVERIFY2(row < 0,
                     qPrintable(QStringLiteral("bands of %1 rows on %2 threads differ from row %3")
                                        .arg(rows)
                                        .arg(threads)
                                        .arg(row)));
        }
    }
}

// Random maps, wires from about a pixel wide to several, every effect, every layer,
// against the whole canvas: thin antialiased strokes crossing a band edge are where
// bands used to differ from the whole canvas, a few rows below each seam.
void TestBandedRender::fineScaleSeamsAreExact_data()
{
    QTest::addColumn<QByteArray>("overrides");
    QTest::addColumn<int>("layer");
    QTest::addColumn<int>("bandRows");
    QTest::addColumn<int>("threads");
    // Rows drawn alone (a zoomed view): from a fraction of the height, past the bottom.
    QTest::addColumn<double>("windowTop");
    QTest::addColumn<int>("windowRows");
    std::mt19937 random(2611);
    auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const int layers[] = {Composite, Wires, Dots, Components, Signals, DotSignals};
    for (int i = 0; i < 24; ++i) {
        const QByteArray overrides
                = QStringLiteral("{\"width\": %1, \"height\": %2, \"seed\": %3, \"scale\": %4, "
                                 "\"wire_thickness\": %5, \"max_wire_thickness\": %6, \"wire_roundness\": %7, "
                                 "\"signal_glowing\": %8, \"wire_shadow\": %9, \"vignetting\": %10, "
                                 "\"glowing_dots_amount\": %11, \"dot_size\": %12, "
                                 "\"chips\": [{\"x\": 0.4, \"y\": 0.5, \"w\": 3, \"h\": 2, \"connections\": 3, "
                                 "\"render\": true}]}")
                          .arg(int(uniform(120, 260)))
                          .arg(int(uniform(60, 140)))
                          .arg(int(uniform(0, 100000)))
                          .arg(uniform(0.1, 0.3))
                          .arg(i % 3 == 0 ? uniform(1, 4) : uniform(0.3, 1.2))
                          .arg(uniform(1, 3))
                          .arg(uniform(0, 1))
                          .arg(uniform(0, 2))
                          .arg(i % 2 ? uniform(0, 1) : 0)
                          .arg(uniform(0, 1))
                          .arg(uniform(0, 1))
                          .arg(uniform(0.5, 2))
                          .toLatin1();
        const int layer = i < 8 ? Composite : layers[i % 6];
        const int rows = i % 4 == 0 ? 1 : int(uniform(2, 50));
        QTest::addRow("map %d, layer %d, bands of %d rows", i, layer, rows)
                << overrides << layer << rows << 1 + i % 4 << uniform(0, 1) << int(uniform(1, 90));
    }
}

void TestBandedRender::fineScaleSeamsAreExact()
{
    QFETCH(QByteArray, overrides);
    QFETCH(int, layer);
    QFETCH(int, bandRows);
    QFETCH(int, threads);
    QFETCH(double, windowTop);
    QFETCH(int, windowRows);
    CircuitGenerator generator;
    generator.readParameters(sampleMap(QStringLiteral("render_showcase_map.json"), overrides));
    const QImage whole = renderWith(generator, 1.0f, RenderLayer(layer), 0, 1);
    QVERIFY(!whole.isNull());
    const int row = firstDifferentRow(renderWith(generator, 1.0f, RenderLayer(layer), bandRows, threads), whole);
    QVERIFY2(row < 0,
             qPrintable(QStringLiteral("differs from row %1: %2").arg(row).arg(QString::fromLatin1(overrides))));

    CircuitRenderer renderer;
    // Half the windows are cut from a canvas the renderer would draw whole.
    renderer.setBandRows(threads % 2 ? bandRows : 0);
    renderer.setThreadCount(threads);
    const int top = int(windowTop * whole.height());
    const int bottom = std::min(whole.height(), top + windowRows);
    QImage window(whole.width(), bottom - top, QImage::Format_ARGB32);
    int next = top;
    generator.resetSeed();
    generator.generateCircuit();
    const auto result = renderer.renderRows(ArtworkScene(generator), generator.settings(), 1.0f, RenderLayer(layer),
                                            top, windowRows, [&](const QImage &rows, int firstRow) {
                                                if (firstRow != next)
                                                    return false;
                                                for (int y = 0; y < rows.height(); ++y)
                                                    std::memcpy(window.scanLine(firstRow - top + y),
                                                                rows.constScanLine(y), size_t(rows.width()) * 4);
                                                next += rows.height();
                                                return true;
                                            });
    QCOMPARE(int(result), int(CircuitRenderer::BandResult::Done));
    QCOMPARE(next, bottom);
    const int windowRow = firstDifferentRow(window, whole.copy(0, top, whole.width(), bottom - top));
    QVERIFY2(windowRow < 0, qPrintable(QStringLiteral("rows %1 to %2 differ from row %3")
                                               .arg(top)
                                               .arg(bottom)
                                               .arg(top + windowRow)));
}

void TestBandedRender::streamedBandsCoverTheCanvasInOrder()
{
    CircuitGenerator generator;
    generator.readParameters(sampleMap(QStringLiteral("render_showcase_map.json"), R"({"width": 200, "height": 101})"));
    CircuitRenderer renderer;
    renderer.setBandRows(37);
    renderer.setThreadCount(2);
    QVector<int> firstRows;
    int covered = 0;
    generator.generateCircuit();
    const auto result = renderer.renderBands(ArtworkScene(generator), generator.settings(), 1.0f, Composite,
                                             [&](const QImage &rows, int firstRow) {
                                                 firstRows.append(firstRow);
                                                 covered += rows.height();
                                                 return rows.width() == 200;
                                             });
    QCOMPARE(int(result), int(CircuitRenderer::BandResult::Done));
    QCOMPARE(firstRows, (QVector<int> {0, 37, 74}));
    QCOMPARE(covered, 101);
}

// A canvas small enough to draw whole is still shared out, one band per thread, by
// renderBands and render() alike, with the whole canvas's pixels.
void TestBandedRender::smallCanvasIsSharedAmongTheThreads()
{
    CircuitGenerator generator;
    generator.readParameters(sampleMap(QStringLiteral("render_showcase_map.json"), R"({"width": 300, "height": 420})"));
    const QImage whole = renderWith(generator, 1.0f, Composite, 0, 1);
    QVERIFY(!whole.isNull());
    for (int threads : {2, 3}) {
        CircuitRenderer renderer;
        renderer.setThreadCount(threads);
        generator.resetSeed();
        QImage assembled(whole.size(), QImage::Format_ARGB32);
        int bands = 0;
        generator.generateCircuit();
        renderer.renderBands(
                ArtworkScene(generator), generator.settings(), 1.0f, Composite, [&](const QImage &rows, int firstRow) {
                    ++bands;
                    for (int y = 0; y < rows.height(); ++y)
                        std::memcpy(assembled.scanLine(firstRow + y), rows.constScanLine(y), size_t(rows.width()) * 4);
                    return true;
                });
        QCOMPARE(bands, threads);
        QCOMPARE(firstDifferentRow(assembled, whole), -1);
        QCOMPARE(firstDifferentRow(renderWith(generator, 1.0f, Composite, 0, threads), whole), -1);
    }
}

// Large blurs run over strips of columns; the borders of a strip must come
// from the pixels beside it, and only the image's own edges reflect.
void TestBandedRender::blurStripsGiveTheWholeBlur_data()
{
    QTest::addColumn<int>("radius");
    QTest::addColumn<int>("stripWidth");
    for (int radius : {0, 1, 4, 30, 70}) {
        for (int strip : {0, 1, 7, 64, 150}) // 0: the width chosen from the kernel
            QTest::addRow("radius %d, strips of %d", radius, strip) << radius << strip;
    }
}

void TestBandedRender::blurStripsGiveTheWholeBlur()
{
    QFETCH(int, radius);
    QFETCH(int, stripWidth);
    QImage source(211, 97, QImage::Format_ARGB32);
    std::mt19937 random(7);
    for (int y = 0; y < source.height(); ++y) {
        auto *pixels = reinterpret_cast<QRgb *>(source.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            pixels[x] = QRgb(random());
    }
    QImage whole;
    QImage strips;
    QVERIFY(CvImageAdapter::boxBlur(source, radius, whole, source.width()));
    QVERIFY(CvImageAdapter::boxBlur(source, radius, strips, stripWidth));
    const int row = firstDifferentRow(strips, whole);
    QVERIFY2(row < 0, qPrintable(QStringLiteral("differs from row %1").arg(row)));
}

// Rows far from every painted row skip the blur; near the edges the reflected rows
// must still count, and a kernel taller than the image reaches everything.
void TestBandedRender::blurOverFillGivesTheWholeBlur_data()
{
    QTest::addColumn<int>("radius");
    QTest::addColumn<QVector<int>>("paintedRows");
    QTest::addColumn<uint>("fill");
    const QVector<QPair<const char *, QVector<int>>> paintings = {
            {"nothing painted", {}},       {"top row", {0}},       {"bottom row", {96}},
            {"middle rows", {40, 41, 47}}, {"far apart", {5, 90}}, {"every row", {}},
    };
    for (int radius : {0, 3, 30, 70}) {
        for (const auto &painting : paintings) {
            QVector<int> rows = painting.second;
            if (QByteArray(painting.first) == "every row") {
                for (int y = 0; y < 97; ++y)
                    rows << y;
            }
            for (uint fill : {0xff000000u, 0xffffffffu})
                QTest::addRow("radius %d, %s, fill %08x", radius, painting.first, fill) << radius << rows << fill;
        }
    }
}

void TestBandedRender::blurOverFillGivesTheWholeBlur()
{
    QFETCH(int, radius);
    QFETCH(QVector<int>, paintedRows);
    QFETCH(uint, fill);
    QImage source(131, 97, QImage::Format_ARGB32);
    source.fill(fill);
    std::mt19937 random(uint(radius) + uint(paintedRows.size()));
    for (int y : paintedRows) {
        auto *pixels = reinterpret_cast<QRgb *>(source.scanLine(y));
        for (int x = int(random() % 7); x < source.width(); x += 1 + int(random() % 9))
            pixels[x] = QRgb(random()) | 0xff000000u;
    }
    QImage whole;
    QImage overFill(source.size(), QImage::Format_RGB32);
    overFill.fill(0x12345678u); // stale pixels of a reused buffer
    QVERIFY(CvImageAdapter::boxBlur(source, radius, whole));
    QVERIFY(CvImageAdapter::boxBlurOverFill(source, fill, radius, overFill));
    const int row = firstDifferentRow(overFill, whole);
    QVERIFY2(row < 0, qPrintable(QStringLiteral("differs from row %1").arg(row)));
}

// A source pixel that changes nothing is skipped: only where it truly changes
// nothing in that mode, and only on an opaque destination.
void TestBandedRender::neutralSourcesBlendAsQPainterDoes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addRow("multiply") << int(QPainter::CompositionMode_Multiply);
    QTest::addRow("screen") << int(QPainter::CompositionMode_Screen);
    QTest::addRow("overlay") << int(QPainter::CompositionMode_Overlay);
    QTest::addRow("colour dodge") << int(QPainter::CompositionMode_ColorDodge);
}

void TestBandedRender::neutralSourcesBlendAsQPainterDoes()
{
    QFETCH(int, mode);
    const auto composition = QPainter::CompositionMode(mode);
    QImage destination(256, 64, QImage::Format_ARGB32);
    QImage source(destination.size(), QImage::Format_RGB32);
    std::mt19937 random {uint(mode)};
    const QRgb plain[] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(127, 127, 127)};
    for (int y = 0; y < destination.height(); ++y) {
        auto *d = reinterpret_cast<QRgb *>(destination.scanLine(y));
        auto *s = reinterpret_cast<QRgb *>(source.scanLine(y));
        for (int x = 0; x < destination.width(); ++x) {
            d[x] = QRgb(random()) | 0xff000000u;
            s[x] = random() % 2 ? plain[random() % 4] : QRgb(random()) | 0xff000000u;
        }
    }
    QImage expected = destination;
    {
        QPainter painter(&expected);
        painter.setCompositionMode(composition);
        painter.drawImage(0, 0, source);
    }
    // QPainter's screen is not per channel; such a mode is left to QPainter, untouched here.
    const QImage before = destination;
    QCOMPARE(ImageBlender::compose(destination, source, composition), ImageBlender::handles(composition));
    if (!ImageBlender::handles(composition))
        expected = before;
    const int row = firstDifferentRow(destination, expected);
    QVERIFY2(row < 0, qPrintable(QStringLiteral("differs from row %1").arg(row)));
}

QTEST_MAIN(TestBandedRender)
#include "tst_bandedrender.moc"
