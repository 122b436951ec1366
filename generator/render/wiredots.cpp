#include "wiredots.h"

#include "circuit.h"
#include "randomstream.h"
#include "rendermetrics.h"

namespace {

QPoint centreOf(const CircuitCell *cell, const RenderMetrics &metrics)
{
    return metrics.cellCentre(cell->x, cell->y);
}

QVector<QPoint> endCells(const Wire &wire, const RenderMetrics &metrics)
{
    QVector<QPoint> points {centreOf(wire.cells.front(), metrics)};
    if (wire.cells.size() >= 2)
        points.append(centreOf(wire.cells.back(), metrics));
    return points;
}

QVector<QPoint> laneEnds(const Wire &wire, const RenderMetrics &metrics)
{
    if (!wire.hasLaneEnds())
        return {};
    return {centreOf(wire.laneEndStart, metrics), centreOf(wire.laneEndEnd, metrics)};
}

} // namespace

QVector<WireDots::Dot> WireDots::choose(const Wire &wire, const RenderMetrics &metrics, RenderLayer layer,
                                        float glowingDotsAmount)
{
    const float r = metrics.dotRadius();
    const bool hasRadius = r > 0;
    const bool pads = (layer == Composite || layer == Dots) && hasRadius && metrics.holeRadius() < r;
    const bool glowLayer = (layer == Composite || layer == DotSignals) && hasRadius;
    // End cells take a draw only when dots have a radius, lane ends always
    // do: every layer and the SVG writer rely on exactly this count.
    QVector<QPoint> points = hasRadius ? endCells(wire, metrics) : QVector<QPoint>();
    points += laneEnds(wire, metrics);
    QVector<Dot> dots;
    for (const QPoint &point : points) {
        const double u = randomStream(StreamSignal).next();
        dots.append({point, pads, glowLayer && u < glowingDotsAmount});
    }
    return dots;
}

QVector<QPoint> WireDots::endPoints(const Wire &wire, const RenderMetrics &metrics)
{
    return endCells(wire, metrics) + laneEnds(wire, metrics);
}
