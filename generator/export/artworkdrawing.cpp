#include "artworkdrawing.h"

#include "artworkscene.h"
#include "chipgeometry.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "lanepath.h"
#include "signalstretch.h"
#include "wiredots.h"

namespace {

LanePath straightPath(const QPointF &a, const QPointF &b)
{
    LanePath path;
    path.moveTo(a);
    path.lineTo(b);
    return path;
}

ArtworkDrawing::Shape lane(const LanePath &path, const QColor &color, double width)
{
    ArtworkDrawing::Shape shape;
    shape.lane = &path;
    shape.color = color;
    shape.strokeWidth = width;
    return shape;
}

ArtworkDrawing::Shape filled(ArtworkDrawing::Shape::Kind kind, double radius, const QColor &color)
{
    ArtworkDrawing::Shape shape;
    shape.kind = kind;
    shape.radius = radius;
    shape.color = color;
    return shape;
}

ArtworkDrawing::Shape disc(const QPointF &centre, double radius, const QColor &color)
{
    ArtworkDrawing::Shape shape = filled(ArtworkDrawing::Shape::Disc, radius, color);
    shape.centre = centre;
    return shape;
}

// The area between two radii as one stroke along the middle circle: no fill covers the hole.
ArtworkDrawing::Shape ring(const QPointF &centre, double inner, double outer, const QColor &color)
{
    ArtworkDrawing::Shape shape = disc(centre, (inner + outer) / 2, color);
    shape.strokeWidth = outer - inner;
    return shape;
}

ArtworkDrawing::Shape roundedRect(const QRectF &rect, double radius, const QColor &color)
{
    ArtworkDrawing::Shape shape = filled(ArtworkDrawing::Shape::RoundedRect, radius, color);
    shape.rect = rect;
    return shape;
}

} // namespace

ArtworkDrawing::ArtworkDrawing(const ArtworkScene &scene, const GeneratorSettings &settings, bool background)
    : m_scene(scene)
    , m_settings(settings)
    , m_metrics(settings, 1.0f)
    , m_palette(settings, Composite)
    , m_background(background)
{ }

int ArtworkDrawing::width() const
{
    return m_settings.width;
}

int ArtworkDrawing::height() const
{
    return m_settings.height;
}

QVector<VectorDrawing::Layer> ArtworkDrawing::layerList() const
{
    return {{Composite, QStringLiteral("Background"), true},
            {Wires, QStringLiteral("Wires")},
            {Dots, QStringLiteral("Dots")},
            {Components, QStringLiteral("Components")},
            {DotSignals, QStringLiteral("Dot signals")},
            {Signals, QStringLiteral("Signals")}};
}

bool ArtworkDrawing::visit(int layer, const Visitor &visitor) const
{
    switch (RenderLayer(layer)) {
    case Composite:
        return visitor(roundedRect(QRectF(0, 0, width(), height()), 0, m_palette.background()));
    case Wires:
        return visitWires(visitor);
    case Dots:
    case DotSignals:
        return visitDots(RenderLayer(layer), visitor);
    case Components:
        return visitChips(visitor);
    case Signals:
        return visitSignals(visitor);
    }
    return true;
}

bool ArtworkDrawing::visitWires(const Visitor &visitor) const
{
    for (const Wire *wire : m_scene.circuit().wires()) {
        if (wire->removed)
            continue;
        const double width = m_metrics.strokeWidth(wire->thickness, wire->density);
        if (wire->cells.size() == 2) {
            const LanePath path = straightPath(m_metrics.exactCentre(wire->cells[0]->x, wire->cells[0]->y),
                                               m_metrics.exactCentre(wire->cells[1]->x, wire->cells[1]->y));
            if (!visitor(lane(path, m_palette.wire(), width)))
                return false;
        } else if (wire->cells.size() > 2) {
            const LaneGeometry geometry(*wire, m_metrics.cellSize(), m_settings.wireThickness,
                                        m_settings.wireRoundness);
            for (int l = 0; l < wire->density; ++l) {
                const LanePath path = geometry.lanePath(l);
                if (!visitor(lane(path, m_palette.wire(), width)))
                    return false;
            }
        }
    }
    return true;
}

bool ArtworkDrawing::visitDots(RenderLayer layer, const Visitor &visitor) const
{
    // Pads as the raster draws them: a disc, the hole in the background colour, the
    // inner disc; the glowing dots in the signal colour.
    const double r = m_metrics.dotRadius();
    const double rh = m_metrics.holeRadius();
    const double ri = m_metrics.innerRadius();
    if (r <= 0)
        return true;
    const auto &wires = m_scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        if (wires[index]->removed)
            continue;
        for (const WireDots::Dot &dot : WireDots::of(m_scene, index, m_metrics, Composite)) {
            bool ok = true;
            if (layer == DotSignals) {
                ok = !dot.glow || visitor(disc(dot.centre, r, m_palette.signal()));
            } else if (dot.pad) {
                const bool hole = rh < r && rh > 0 && ri < rh;
                ok = (hole && !m_background ? visitor(ring(dot.centre, rh, r, m_palette.wire()))
                                            : visitor(disc(dot.centre, r, m_palette.wire()))
                              && (!hole || visitor(disc(dot.centre, rh, m_palette.background()))))
                        && (!(rh < r && rh > 0 && ri > 0) || visitor(disc(dot.centre, ri, m_palette.hole())));
            }
            if (!ok)
                return false;
        }
    }
    return true;
}

bool ArtworkDrawing::visitChips(const Visitor &visitor) const
{
    const double c = m_metrics.cellSize();
    for (const ChipPlacement &chip : m_scene.circuit().chips()) {
        if (!chip.render)
            continue;
        for (const QRectF &pin : ChipGeometry::pinPairs(chip, c)) {
            if (!visitor(roundedRect(pin, ChipGeometry::pinCorner(c), ChipGeometry::kPinColor)))
                return false;
        }
        if (!visitor(roundedRect(ChipGeometry::body(chip, c), ChipGeometry::bodyCorner(c), ChipGeometry::kBodyColor)))
            return false;
    }
    return true;
}

bool ArtworkDrawing::visitSignals(const Visitor &visitor) const
{
    const auto &wires = m_scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        const int lanes = m_scene.signalCount(index);
        if (lanes == 0)
            continue;
        const Wire *wire = wires[index];
        const LaneGeometry geometry(*wire, m_metrics.cellSize(), m_settings.wireThickness, m_settings.wireRoundness);
        const double width = m_metrics.strokeWidth(wire->thickness, wire->density);
        for (int l = 0; l < lanes; ++l) {
            const SignalStretch &stretch = m_scene.signal(index, l);
            if (!stretch.isWrittenToSvg())
                continue;
            const LanePath path = geometry.lanePath(l, stretch.start(), stretch.end());
            if (!visitor(lane(path, m_palette.signal(), width)))
                return false;
        }
    }
    return true;
}
