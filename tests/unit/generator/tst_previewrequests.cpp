// The plug-in object's previews drawn off the GUI thread, against the synchronous slots: the
// same bytes, the same random stream states afterwards, superseded requests never shown.
#include "lumatrace.h"
#include "randomstreams.h"
#include "samplemaps.h"

#include <QImage>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QWebView>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
using States = RandomStreams::States;
using Step = std::function<void(Lumatrace &)>;

// A plug-in object on a view of its own, keeping what it hands over by name.
class Plugin
{
public:
    Plugin()
        : object(new Lumatrace(&view))
        , ready(object, &Lumatrace::previewReady)
    {
        QObject::connect(object, &OvexPlugin::processWebViewSignal, [this] {
            const auto *bytes = static_cast<const QByteArray *>(view.property("byte_array").value<void *>());
            handedOver[view.property("filename").toString()] = *bytes;
        });
    }

    QByteArray result() const { return handedOver.value(QStringLiteral("lumatrace_result")); }

    // Waits for the exact image of request `id`; false when it does not come.
    bool waitForExact(int id)
    {
        return QTest::qWaitFor([this, id] { return exactIds().contains(id); }, 30000);
    }

    QList<int> exactIds() const { return ids(true); }
    QList<int> quickIds() const { return ids(false); }

    QWebView view;
    Lumatrace *object;
    QSignalSpy ready;
    QMap<QString, QByteArray> handedOver;

private:
    QList<int> ids(bool exact) const
    {
        QList<int> found;
        for (const QList<QVariant> &signal : ready) {
            if (signal.at(1).toBool() == exact)
                found << signal.at(0).toInt();
        }
        return found;
    }
};

QVariantMap defaultMap(const QByteArray &overrides = QByteArray())
{
    return sampleMap(QStringLiteral("render_default_map.json"), overrides);
}

States reseeded(int seed)
{
    RandomStreams streams;
    streams.reseed(seed);
    return streams.states();
}
} // namespace

Q_DECLARE_METATYPE(Step)

class TestPreviewRequests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestGivesTheSynchronousBytesAndStreamStates_data();
    void requestGivesTheSynchronousBytesAndStreamStates();
    void changeAfterAShownPreviewGivesTheSynchronousBytesAndStates_data();
    void changeAfterAShownPreviewGivesTheSynchronousBytesAndStates();
    void callsBeforeTheImageMoveTheStreamsAsInOrder_data();
    void callsBeforeTheImageMoveTheStreamsAsInOrder();
    void newerRequestSupersedesTheOlderOne();
    void largeCanvasShowsAQuickImageFirst();
    void cancelledRequestShowsNothing();
    void synchronousPreviewSupersedesARequest();
    void loopPlaysTheRequestedPreview();
    void refusedRequestSaysWhyAsTheSynchronousSlot();
    void regionRequestGivesTheWholeImagesPixels_data();
    void regionRequestGivesTheWholeImagesPixels();
};

void TestPreviewRequests::requestGivesTheSynchronousBytesAndStreamStates_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<double>("scale");
    QTest::newRow("default canvas at full size") << defaultMap() << 1.0;
    QTest::newRow("default canvas reduced") << defaultMap() << 0.5;
    QTest::newRow("showcase with signals, glow and shadow")
            << sampleMap(QStringLiteral("render_showcase_map.json")) << 1.0;
    QTest::newRow("file mask") << sampleMap(QStringLiteral("render_filemask_map.json")) << 1.0;
    QTest::newRow("canvas drawn quickly first") << defaultMap(R"({"width": 1500, "height": 1000, "seed": 7})") << 1.0;
}

void TestPreviewRequests::requestGivesTheSynchronousBytesAndStreamStates()
{
    QFETCH(QVariantMap, map);
    QFETCH(double, scale);
    Plugin synchronous;
    const int side = scale < 1 ? int(std::max(map.value("width").toInt(), map.value("height").toInt()) * scale) : 0;
    synchronous.object->generatePreview(map, side);
    // Generating draws: the streams have left their seeded states, so the comparison below
    // would catch streams left unmoved.
    QVERIFY(synchronous.object->randomStates() != reseeded(map.value("seed").toInt()));

    Plugin requested;
    const int id = requested.object->requestPreview(map, scale);
    QVERIFY(id > 0);
    QVERIFY(requested.waitForExact(id));
    QCOMPARE(requested.object->randomStates(), synchronous.object->randomStates());
    QVERIFY(!requested.result().isEmpty());
    QVERIFY(requested.result() == synchronous.result());
}

void TestPreviewRequests::changeAfterAShownPreviewGivesTheSynchronousBytesAndStates_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::newRow("colours") << QByteArray(R"({"bg_color": [90, 10, 10], "wire_color": [10, 200, 90],)"
                                           R"( "inside_hole_color": [0, 0, 0], "signal_color": [255, 0, 0]})");
    QTest::newRow("pad, hole and inner hole sizes")
            << QByteArray(R"({"dot_size": 2.5, "hole_size": 0.2, "inside_hole_size": 0.9})");
    QTest::newRow("pads gone, which draws fewer random numbers") << QByteArray(R"({"dot_size": 0})");
    QTest::newRow("glow, glowing dots, shadow and vignette")
            << QByteArray(R"({"signal_glowing": 2, "glowing_dots_amount": 0.7, "wire_shadow": 0.8, "vignetting": 0})");
    QTest::newRow("wire thickness and roundness") << QByteArray(R"({"wire_thickness": 3, "wire_roundness": 1})");
    QTest::newRow("a generation key") << QByteArray(R"({"wire_length": 0.2})");
    QTest::newRow("the seed") << QByteArray(R"({"seed": 12})");
}

// What only the drawing reads may be changed without generating again; the result must be
// what the synchronous slot gives for the changed map.
void TestPreviewRequests::changeAfterAShownPreviewGivesTheSynchronousBytesAndStates()
{
    QFETCH(QByteArray, change);
    const QByteArray canvas = R"({"width": 1200, "height": 900, "seed": 4})";
    const QVariantMap first = sampleMap(QStringLiteral("render_showcase_map.json"), canvas);
    QVariantMap changed = first;
    const QVariantMap overrides = QJsonDocument::fromJson(change).toVariant().toMap();
    QVERIFY(!overrides.isEmpty());
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        changed.insert(it.key(), it.value());
    Plugin requested;
    QVERIFY(requested.waitForExact(requested.object->requestPreview(first, 1.0)));
    QVERIFY(requested.waitForExact(requested.object->requestPreview(changed, 1.0)));

    Plugin synchronous;
    synchronous.object->generatePreview(changed, 0);
    QCOMPARE(requested.object->randomStates(), synchronous.object->randomStates());
    QVERIFY(requested.result() == synchronous.result());
    // And the loop of the preview on screen is that of the changed map.
    QVERIFY(requested.object->previewLoopFrame(1, 4));
    QVERIFY(synchronous.object->previewLoopFrame(1, 4));
    QVERIFY(requested.handedOver.value("lumatrace_loop_frame") == synchronous.handedOver.value("lumatrace_loop_frame"));
}

void TestPreviewRequests::callsBeforeTheImageMoveTheStreamsAsInOrder_data()
{
    QTest::addColumn<Step>("between");
    const QVariantMap other = defaultMap(R"({"seed": 99})");
    QTest::newRow("resetSeed") << Step([](Lumatrace &p) { p.resetSeed(); });
    QTest::newRow("generate with another map") << Step([other](Lumatrace &p) { p.generate(other); });
    QTest::newRow("updateGenerator with another map") << Step([other](Lumatrace &p) { p.updateGenerator(other); });
    QTest::newRow("a thumbnail under its own name")
            << Step([other](Lumatrace &p) { p.generatePreview(other, 100, QStringLiteral("thumb")); });
    QTest::newRow("an SVG export") << Step([](Lumatrace &p) {
        QTemporaryDir dir;
        p.exportSVG(dir.filePath("a.svg"));
    });
    QTest::newRow("nothing") << Step([](Lumatrace &) { });
}

// A call made after a request, before its image comes, leaves the streams as it would
// after the synchronous preview: the image, arriving later, does not move them back.
void TestPreviewRequests::callsBeforeTheImageMoveTheStreamsAsInOrder()
{
    QFETCH(Step, between);
    const QVariantMap map = defaultMap(R"({"width": 1500, "height": 1000, "seed": 3})");
    Plugin synchronous;
    synchronous.object->generatePreview(map, 0);
    between(*synchronous.object);

    Plugin requested;
    const int id = requested.object->requestPreview(map, 1.0);
    between(*requested.object);
    QVERIFY(requested.waitForExact(id));
    QCOMPARE(requested.object->randomStates(), synchronous.object->randomStates());
}

void TestPreviewRequests::newerRequestSupersedesTheOlderOne()
{
    Plugin plugin;
    const int older = plugin.object->requestPreview(defaultMap(R"({"width": 2400, "height": 1600})"), 1.0);
    const QVariantMap newerMap = defaultMap(R"({"seed": 5})");
    const int newer = plugin.object->requestPreview(newerMap, 1.0);
    QVERIFY(newer > older);
    QVERIFY(plugin.waitForExact(newer));
    QTest::qWait(300);
    QCOMPARE(plugin.exactIds(), QList<int>({newer}));
    QVERIFY(!plugin.quickIds().contains(older));

    Plugin synchronous;
    synchronous.object->generatePreview(newerMap, 0);
    QVERIFY(plugin.result() == synchronous.result());
    QCOMPARE(plugin.object->randomStates(), synchronous.object->randomStates());
}

void TestPreviewRequests::largeCanvasShowsAQuickImageFirst()
{
    Plugin plugin;
    const int large = plugin.object->requestPreview(defaultMap(R"({"width": 2400, "height": 1600})"), 1.0);
    QVERIFY(plugin.waitForExact(large));
    QCOMPARE(plugin.quickIds(), QList<int>({large}));
    QCOMPARE(plugin.ready.first().at(1).toBool(), false);
    QCOMPARE(QImage::fromData(plugin.result()).size(), QSize(2400, 1600));

    // The quick image: the same circuit with a tenth of the pixels or fewer.
    QByteArray quick;
    connect(plugin.object, &Lumatrace::previewReady, [&](int, bool exact) {
        if (!exact)
            quick = plugin.result();
    });
    const int again = plugin.object->requestPreview(defaultMap(R"({"width": 2400, "height": 1600})"), 1.0);
    QVERIFY(plugin.waitForExact(again));
    const QSize quickSize = QImage::fromData(quick).size();
    QVERIFY2(quickSize.width() * quickSize.height() * 10 <= 2400 * 1600, qPrintable(QString::number(quickSize.width())));
    // Its sides keep the canvas's proportions, to the pixel they are rounded to.
    QVERIFY(qAbs(quickSize.width() * 1600 - quickSize.height() * 2400) <= 2400);

    // The default canvas is drawn at once.
    const int small = plugin.object->requestPreview(defaultMap(), 1.0);
    QVERIFY(plugin.waitForExact(small));
    QVERIFY(!plugin.quickIds().contains(small));
}

void TestPreviewRequests::cancelledRequestShowsNothing()
{
    Plugin plugin;
    plugin.object->requestPreview(defaultMap(R"({"width": 2400, "height": 1600})"), 1.0);
    plugin.object->cancelPreview();
    QTest::qWait(1500);
    QCOMPARE(plugin.ready.count(), 0);
    QVERIFY(plugin.result().isNull());
}

void TestPreviewRequests::synchronousPreviewSupersedesARequest()
{
    Plugin plugin;
    plugin.object->requestPreview(defaultMap(R"({"width": 2400, "height": 1600})"), 1.0);
    const QVariantMap map = defaultMap(R"({"seed": 11})");
    plugin.object->generateImage(map);
    const QByteArray shown = plugin.result();
    QTest::qWait(1500);
    QCOMPARE(plugin.ready.count(), 0);
    QVERIFY(plugin.result() == shown);
}

void TestPreviewRequests::loopPlaysTheRequestedPreview()
{
    Plugin plugin;
    QVERIFY(!plugin.object->previewLoopFrame(0, 12));
    const int id = plugin.object->requestPreview(defaultMap(), 0.5);
    QVERIFY(plugin.waitForExact(id));
    // A thumbnail reads another map; the loop still plays the preview on screen.
    plugin.object->generatePreview(defaultMap(R"({"seed": 8})"), 100, QStringLiteral("thumb"));
    QVERIFY(plugin.object->previewLoopFrame(3, 12));
    QCOMPARE(QImage::fromData(plugin.handedOver.value("lumatrace_loop_frame")).size(), QSize(300, 300));
}

void TestPreviewRequests::refusedRequestSaysWhyAsTheSynchronousSlot()
{
    const QVariantMap map = sampleMap(QStringLiteral("budget_adjustments_on_largest_grid.json"));
    Plugin synchronous;
    synchronous.object->generatePreview(map, 600);
    QVERIFY(!synchronous.object->lastError().isEmpty());

    Plugin requested;
    const int id = requested.object->requestPreview(map, 0.1);
    QVERIFY(requested.waitForExact(id));
    QCOMPARE(requested.object->lastError(), synchronous.object->lastError());
    QVERIFY(requested.result().isEmpty());
    QCOMPARE(requested.object->randomStates(), synchronous.object->randomStates());
}

void TestPreviewRequests::regionRequestGivesTheWholeImagesPixels_data()
{
    QTest::addColumn<QVariantMap>("region");
    QTest::addColumn<QRect>("drawn"); // null: the whole canvas, as without a region
    auto region = [](QVariant x, QVariant y, QVariant width, QVariant height) {
        return QVariantMap {{"x", x}, {"y", y}, {"width", width}, {"height", height}};
    };
    QTest::newRow("inside") << region(333, 251, 420, 300) << QRect(333, 251, 420, 300);
    QTest::newRow("past the right and bottom edges") << region(1300, 900, 500, 500) << QRect(1300, 900, 200, 100);
    QTest::newRow("from before the left edge") << region(-40, 0, 100, 1000) << QRect(0, 0, 60, 1000);
    QTest::newRow("the whole canvas") << region(0, 0, 1500, 1000) << QRect(0, 0, 1500, 1000);
    QTest::newRow("outside the canvas") << region(1600, 10, 50, 50) << QRect();
    QTest::newRow("not numbers") << region("a", QVariant(), 1e300, -5) << QRect();
}

// A zoomed view asks for part of a large canvas: a quick whole image, then exactly the
// pixels the whole exact image has there, with the streams where the synchronous slot
// leaves them.
void TestPreviewRequests::regionRequestGivesTheWholeImagesPixels()
{
    QFETCH(QVariantMap, region);
    QFETCH(QRect, drawn);
    const QVariantMap map = sampleMap(QStringLiteral("render_showcase_map.json"),
                                      R"({"width": 1500, "height": 1000, "seed": 6})");
    Plugin synchronous;
    synchronous.object->generatePreview(map, 0);
    const QImage whole = QImage::fromData(synchronous.result());
    QCOMPARE(whole.size(), QSize(1500, 1000));

    Plugin requested;
    const int id = requested.object->requestPreview(map, 1.0, region);
    QVERIFY(requested.waitForExact(id));
    QCOMPARE(requested.quickIds(), QList<int>({id}));
    QCOMPARE(requested.object->randomStates(), synchronous.object->randomStates());
    const QByteArray detail = requested.handedOver.value(QStringLiteral("lumatrace_detail"));
    if (drawn.isNull()) {
        QVERIFY(detail.isNull());
        QVERIFY(requested.result() == synchronous.result());
        return;
    }
    QVERIFY(QImage::fromData(requested.result()).width() < 1500); // the sketch
    const QImage part = QImage::fromData(detail).convertToFormat(whole.format());
    QCOMPARE(part.size(), drawn.size());
    QVERIFY(part == whole.copy(drawn));
}

QTEST_MAIN(TestPreviewRequests)
#include "tst_previewrequests.moc"
