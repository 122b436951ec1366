#include "circuitsketch.h"

#include "chipgeometry.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "layerpalette.h"
#include "rendermetrics.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace {
// `over` covering `share` of a pixel of `under` (share clamped to 0 .. 1).
QColor blended(const QColor &under, const QColor &over, double share)
{
    const double a = std::clamp(share, 0.0, 1.0);
    auto mix = [a](int u, int o) {
        return int(u + (o - u) * a + 0.5);
    };
    return QColor(mix(under.red(), over.red()), mix(under.green(), over.green()), mix(under.blue(), over.blue()));
}
} // namespace

QImage CircuitSketch::draw(const Circuit &circuit, const GeneratorSettings &settings, float renderScale)
{
    const RenderMetrics metrics(settings, renderScale);
    if (!metrics.isDrawable())
        return QImage();
    QImage image(metrics.width(), metrics.height(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const LayerPalette palette(settings, RenderLayer::Composite);
    image.fill(palette.background());
    QPainter painter(&image);
    QPen pen;
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    QPolygonF line;
    for (const auto &wire : circuit.wires()) {
        line.clear();
        for (const CircuitCell *cell : wire->cells)
            line.append(metrics.exactCentre(cell->x, cell->y));
        // A line thinner than a pixel is drawn one pixel wide, the cheapest line Qt has,
        // in the colour its coverage would give it, so the sketch is as bright as the art.
        const double width = metrics.strokeWidth(wire->thickness, wire->density);
        pen.setWidthF(width < 1.5 ? 0.0 : width);
        pen.setColor(blended(palette.background(), palette.wire(), width));
        painter.setPen(pen);
        if (line.size() > 1)
            painter.drawPolyline(line);
    }
    const double pad = 2.0 * double(metrics.dotRadius());
    const QColor padColor = blended(palette.background(), palette.wire(), pad * pad);
    const double side = std::max(1.0, pad);
    for (const auto &wire : circuit.wires()) {
        for (const CircuitCell *end : {wire->cells.front(), wire->cells.back()}) {
            const QPointF centre = metrics.exactCentre(end->x, end->y);
            painter.fillRect(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side), padColor);
        }
    }
    for (const ChipPlacement &chip : circuit.chips()) {
        if (chip.render)
            painter.fillRect(ChipGeometry::body(chip, metrics.cellSize()), ChipGeometry::kBodyColor);
    }
    return image;
}
