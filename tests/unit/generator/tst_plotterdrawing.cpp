// The plotter drawing against the artwork it draws: every pad and every visible stretch of
// wire has ink on it, the ink stays inside the shapes it fills, and a pen draws each layer
// as few lines as it can, at any pen width.
#include "artworkdrawing.h"
#include "artworkscene.h"
#include "circuitgenerator.h"
#include "lanepath.h"
#include "penroute.h"
#include "penstrokes.h"
#include "plotterdrawing.h"
#include "samplemaps.h"

#include <QLineF>
#include <QtTest>

#include <cmath>
#include <unordered_map>

namespace {

using Polyline = PenStrokes::Polyline;

// Points along lines, at most `step` apart, found by position in square buckets.
class InkPoints
{
public:
    InkPoints(const QVector<Polyline> &lines, double step)
        : m_cell(std::max(step, 1.0) * 4)
    {
        for (const Polyline &line : lines) {
            add(line.first());
            for (int i = 1; i < line.size(); ++i) {
                const int n = int(std::ceil(QLineF(line[i - 1], line[i]).length() / step));
                for (int k = 1; k <= n; ++k)
                    add(line[i - 1] + (line[i] - line[i - 1]) * (double(k) / n));
            }
        }
    }

    bool near(const QPointF &p, double distance) const
    {
        const int reach = int(std::ceil(distance / m_cell));
        const auto [cx, cy] = cellOf(p);
        for (int y = cy - reach; y <= cy + reach; ++y) {
            for (int x = cx - reach; x <= cx + reach; ++x) {
                const auto found = m_cells.find(key(x, y));
                if (found == m_cells.end())
                    continue;
                for (const QPointF &q : found->second) {
                    if (QLineF(p, q).length() <= distance)
                        return true;
                }
            }
        }
        return false;
    }

private:
    static quint64 key(int x, int y) { return (quint64(quint32(x)) << 32) | quint32(y); }
    std::pair<int, int> cellOf(const QPointF &p) const
    {
        return {int(std::floor(p.x() / m_cell)), int(std::floor(p.y() / m_cell))};
    }
    void add(const QPointF &p)
    {
        const auto [x, y] = cellOf(p);
        m_cells[key(x, y)].push_back(p);
    }

    double m_cell;
    std::unordered_map<quint64, std::vector<QPointF>> m_cells;
};

QVector<Polyline> allLines(const PlotterDrawing &plot)
{
    QVector<Polyline> lines;
    for (const VectorDrawing::Layer &layer : plot.layerList())
        lines += plot.lines(layer.id);
    return lines;
}

// Points of the annulus (or disc) on a polar grid.
QVector<QPointF> annulusSamples(const QPointF &c, double inner, double outer)
{
    QVector<QPointF> points;
    for (double r = inner; r <= outer + 1e-9; r += (outer - inner) / 6 + 1e-9) {
        for (int a = 0; a < 48; ++a)
            points.append(c + r * QPointF(std::cos(a * M_PI / 24), std::sin(a * M_PI / 24)));
    }
    return points;
}

} // namespace

class TestPlotterDrawing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every point of a ring or disc is within half a pen of the spiral's line, and no line
    // runs more than half a pen outside it or into its hole.
    void spiralCoversItsRing_data()
    {
        QTest::addColumn<double>("inner");
        QTest::addColumn<double>("outer");
        QTest::addColumn<double>("pen");
        QTest::newRow("ring of many turns") << 3.0 << 12.0 << 1.0;
        QTest::newRow("disc") << 0.0 << 7.5 << 0.8;
        QTest::newRow("ring narrower than the pen") << 5.0 << 5.6 << 1.0;
        QTest::newRow("disc smaller than the pen") << 0.0 << 0.4 << 1.0;
        QTest::newRow("disc between one and two pens wide") << 0.0 << 1.5 << 1.0;
    }

    void spiralCoversItsRing()
    {
        QFETCH(double, inner);
        QFETCH(double, outer);
        QFETCH(double, pen);
        const QPointF c(40, 30);
        const double tolerance = pen / 20;
        const Polyline spiral = PenStrokes::spiral(c, inner, outer, pen, tolerance);
        const InkPoints ink({spiral}, pen / 8);
        for (const QPointF &p : annulusSamples(c, inner, outer))
            QVERIFY2(ink.near(p, pen / 2 + 2 * tolerance), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        for (const QPointF &p : spiral) {
            const double r = QLineF(c, p).length();
            // A ring narrower than the pen is drawn along its middle, a disc as small as the pen as a dot.
            QVERIFY(r <= std::max({outer - pen / 2, (inner + outer) / 2, 0.0}) + tolerance || outer <= pen / 2);
            if (inner > 0 && outer - inner >= pen)
                QVERIFY(r >= inner + pen / 2 - tolerance);
        }
    }

    // A wide stroke's passes cover it; a rounded rectangle's outline and hatch cover it and
    // stay inside.
    void passesAndHatchCoverTheirShapes()
    {
        const double pen = 0.7;
        const Polyline centre {{0, 0}, {30, 0}, {30, 20}, {50, 40}};
        const double width = 4.3;
        const InkPoints passes({PenStrokes::passes(centre, width, pen, false)}, pen / 8);
        for (int i = 1; i < centre.size(); ++i) {
            const QLineF segment(centre[i - 1], centre[i]);
            const QPointF normal = QPointF(-segment.dy(), segment.dx()) / segment.length();
            for (double t = 0.05; t < 0.96; t += 0.05) {
                for (double o = -width / 2; o <= width / 2 + 1e-9; o += width / 8)
                    QVERIFY(passes.near(segment.pointAt(t) + o * normal, pen / 2 + 0.05));
            }
        }
        const QRectF rect(10, 10, 23, 9);
        const Polyline hatch = PenStrokes::hatched(rect, 2.5, pen, pen / 20);
        const InkPoints ink({hatch}, pen / 8);
        for (double y = rect.top() + 2.5; y <= rect.bottom() - 2.5; y += 0.5) {
            for (double x = rect.left() + 0.3; x <= rect.right() - 0.3; x += 0.5)
                QVERIFY2(ink.near(QPointF(x, y), pen / 2 + 0.05), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
        for (const QPointF &p : hatch)
            QVERIFY(rect.adjusted(pen / 2 - 1e-6, pen / 2 - 1e-6, 1e-6 - pen / 2, 1e-6 - pen / 2).contains(p));
    }

    // Each pad of the artwork is drawn by a line wholly inside its disc, and every stretch
    // of wire clear of the dots at its ends has ink along it, for thin and thick wires and
    // pens finer and wider than the wires.
    void everyPadAndWireOfTheArtworkIsDrawn_data()
    {
        QTest::addColumn<QVariantMap>("map");
        QTest::addColumn<double>("pen");
        QTest::addColumn<bool>("outlines");
        QTest::newRow("showcase, fine pen") << sampleMap("render_showcase_map.json") << 1.0 << false;
        QTest::newRow("mixed colours, pen wider than thin wires") << sampleMap("render_mixed_map.json") << 3.0 << false;
        QTest::newRow("mixed colours, outlines") << sampleMap("render_mixed_map.json") << 0.5 << true;
        QTest::newRow("fine scale, wires about a pixel")
                << sampleMap("render_mixed_map.json", R"({"scale": 0.2, "width": 300, "height": 200})") << 0.4 << false;
    }

    void everyPadAndWireOfTheArtworkIsDrawn()
    {
        QFETCH(QVariantMap, map);
        QFETCH(double, pen);
        QFETCH(bool, outlines);
        CircuitGenerator generator;
        generator.readParameters(map);
        generator.resetSeed();
        generator.generateCircuit();
        const ArtworkScene scene(generator);
        const ArtworkDrawing artwork(scene, generator.settings());
        PlotterDrawing::Options options;
        options.pen = pen;
        options.outlines = outlines;
        const PlotterDrawing plot(scene, generator.settings(), options);
        const QVector<Polyline> lines = allLines(plot);
        const InkPoints ink(lines, std::min(pen, 1.0) / 4);

        double r = 0;
        QVector<QPointF> pads;
        artwork.visit(Dots, [&](const VectorDrawing::Shape &shape) {
            if (shape.kind == VectorDrawing::Shape::Disc && shape.radius >= r) {
                r = shape.radius;
                if (pads.isEmpty() || pads.last() != shape.centre)
                    pads.append(shape.centre);
            }
            return true;
        });
        QVERIFY(pads.size() > 10);
        for (const QPointF &pad : pads) {
            const bool drawn = std::any_of(lines.begin(), lines.end(), [&](const Polyline &line) {
                return std::all_of(line.begin(), line.end(),
                                   [&](const QPointF &p) { return QLineF(p, pad).length() <= r + pen / 2 + 0.01; });
            });
            QVERIFY2(drawn, qPrintable(QStringLiteral("pad at %1,%2").arg(pad.x()).arg(pad.y())));
        }
        int samples = 0;
        QVERIFY(artwork.visit(Wires, [&](const VectorDrawing::Shape &shape) {
            const Polyline centre = PenStrokes::trimmed(PenStrokes::centreLine(*shape.lane, 0.05), r + 1, r + 1);
            const double reach = std::max(shape.strokeWidth, pen) / 2 + (outlines ? shape.strokeWidth : pen) + 0.05;
            for (int i = 1; i < centre.size(); ++i) {
                for (double t = 0; t < 1; t += 0.25, ++samples) {
                    if (!ink.near(centre[i - 1] + (centre[i] - centre[i - 1]) * t, reach))
                        return false;
                }
            }
            return true;
        }));
        QVERIFY(samples > 100);

        // Each layer in the order the route gives: never further than the order the lines
        // were made in, and as short as its own nearest-end order.
        for (const VectorDrawing::Layer &layer : plot.layerList()) {
            const QVector<Polyline> route = plot.lines(layer.id);
            const double travel = PenRoute::travel(route, PlotterDrawing::home());
            QVERIFY(travel <= PenRoute::travel(PenRoute::ordered(route, PlotterDrawing::home(), pen / 10), PlotterDrawing::home()) + 1e-6);
        }
    }
};

QTEST_GUILESS_MAIN(TestPlotterDrawing)
#include "tst_plotterdrawing.moc"
