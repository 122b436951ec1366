#include "wiredots.h"

#include "artworkscene.h"
#include "circuit.h"
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

QVector<WireDots::Dot> WireDots::of(const ArtworkScene &scene, size_t index, const RenderMetrics &metrics,
                                    RenderLayer layer)
{
    const Wire &wire = *scene.circuit().wires()[index];
    const float r = metrics.dotRadius();
    const bool hasRadius = r > 0;
    const bool pads = (layer == Composite || layer == Dots) && hasRadius && metrics.holeRadius() < r;
    const bool glowLayer = (layer == Composite || layer == DotSignals) && hasRadius;
    QVector<QPoint> points = scene.endCellDots() ? endCells(wire, metrics) : QVector<QPoint>();
    points += laneEnds(wire, metrics);
    QVector<Dot> dots;
    for (int point = 0; point < points.size(); ++point)
        dots.append({points[point], pads, glowLayer && scene.glows(index, point)});
    return dots;
}

QVector<QPoint> WireDots::endPoints(const Wire &wire, const RenderMetrics &metrics)
{
    return endCells(wire, metrics) + laneEnds(wire, metrics);
}
