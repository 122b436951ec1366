#include "artworkdrawing.h"

#include "artworkscene.h"
#include "chipgeometry.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "lanepath.h"
#include "layerpalette.h"
#include "rendermetrics.h"
#include "signalstretch.h"
#include "svgwriter.h"
#include "wiredots.h"

namespace {

LanePath straightPath(const QPointF &a, const QPointF &b)
{
    LanePath path;
    path.moveTo(a);
    path.lineTo(b);
    return path;
}

QString roundedRectElement(const QRectF &r, double radius, const QColor &color)
{
    return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" ry=\"%5\" fill=\"%6\" />\n")
            .arg(SvgWriter::number(r.x()), SvgWriter::number(r.y()), SvgWriter::number(r.width()),
                 SvgWriter::number(r.height()), SvgWriter::number(radius), SvgWriter::colorName(color));
}

} // namespace

ArtworkDrawing::ArtworkDrawing(const ArtworkScene &scene, const GeneratorSettings &settings)
    : m_width(settings.width)
    , m_height(settings.height)
    , m_layers({{Composite, QStringLiteral("Background"), {}},
                {Wires, QStringLiteral("Wires"), {}},
                {Dots, QStringLiteral("Dots"), {}},
                {Components, QStringLiteral("Components"), {}},
                {DotSignals, QStringLiteral("Dot signals"), {}},
                {Signals, QStringLiteral("Signals"), {}}})
{
    const RenderMetrics metrics(settings, 1.0f);
    const LayerPalette palette(settings, Composite);
    addRoundedRect(QRectF(0, 0, m_width, m_height), 0, palette.background(), Composite);

    const double r = metrics.dotRadius();
    const double rh = metrics.holeRadius();
    const double ri = metrics.innerRadius();
    const auto &wires = scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        const Wire *wire = wires[index];
        if (wire->removed)
            continue;
        const double width = metrics.strokeWidth(wire->thickness, wire->density);
        if (wire->cells.size() == 2) {
            addWire(straightPath(metrics.exactCentre(wire->cells[0]->x, wire->cells[0]->y),
                                 metrics.exactCentre(wire->cells[1]->x, wire->cells[1]->y)),
                    palette.wire(), width, Wires);
        } else if (wire->cells.size() > 2) {
            const LaneGeometry geometry(*wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
            for (int lane = 0; lane < wire->density; ++lane)
                addWire(geometry.lanePath(lane), palette.wire(), width, Wires);
        }
        // Pads as the raster draws them: a disc, the hole in the background colour, the
        // inner disc; the glowing dots in the signal colour.
        for (const WireDots::Dot &dot : WireDots::of(scene, index, metrics, Composite)) {
            if (dot.pad && r > 0) {
                addDisc(dot.centre, r, palette.wire(), Dots);
                if (rh < r && rh > 0 && ri < rh)
                    addDisc(dot.centre, rh, palette.background(), Dots);
                if (rh < r && rh > 0 && ri > 0)
                    addDisc(dot.centre, ri, palette.hole(), Dots);
            }
            if (dot.glow && r > 0)
                addDisc(dot.centre, r, palette.signal(), DotSignals);
        }
    }
    addChips(scene.circuit(), metrics.cellSize());
    for (size_t index = 0; index < wires.size(); ++index) {
        const int lanes = scene.signalCount(index);
        if (lanes == 0)
            continue;
        const Wire *wire = wires[index];
        const LaneGeometry geometry(*wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
        const double width = metrics.strokeWidth(wire->thickness, wire->density);
        for (int lane = 0; lane < lanes; ++lane) {
            const SignalStretch &stretch = scene.signal(index, lane);
            if (stretch.isWrittenToSvg())
                addWire(geometry.lanePath(lane, stretch.start(), stretch.end()), palette.signal(), width, Signals);
        }
    }
}

ArtworkDrawing::Layer &ArtworkDrawing::layer(RenderLayer id)
{
    for (Layer &l : m_layers) {
        if (l.layer == id)
            return l;
    }
    return m_layers.first();
}

void ArtworkDrawing::addWire(const LanePath &path, const QColor &color, double width, RenderLayer to)
{
    layer(to).shapes.append(
            {path.toPainterPath(), color, width, SvgWriter::pathElement(SvgWriter::pathData(path), color, width)});
}

void ArtworkDrawing::addDisc(const QPointF &centre, double radius, const QColor &color, RenderLayer to)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    const QString svg = QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" />\n")
                                .arg(SvgWriter::number(centre.x()), SvgWriter::number(centre.y()),
                                     SvgWriter::number(radius), SvgWriter::colorName(color));
    layer(to).shapes.append({path, color, 0, svg});
}

void ArtworkDrawing::addRoundedRect(const QRectF &rect, double radius, const QColor &color, RenderLayer to)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    layer(to).shapes.append({path, color, 0, roundedRectElement(rect, radius, color)});
}

void ArtworkDrawing::addChips(const Circuit &circuit, double c)
{
    for (const ChipPlacement &chip : circuit.chips()) {
        if (!chip.render)
            continue;
        for (const QRectF &pin : ChipGeometry::pinPairs(chip, c))
            addRoundedRect(pin, ChipGeometry::pinCorner(c), ChipGeometry::kPinColor, Components);
        addRoundedRect(ChipGeometry::body(chip, c), ChipGeometry::bodyCorner(c), ChipGeometry::kBodyColor, Components);
    }
}
