#include "plotterdrawing.h"

#include "artworkscene.h"
#include "chipgeometry.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "lanepath.h"
#include "penroute.h"
#include "rendermetrics.h"
#include "signalstretch.h"
#include "wiredots.h"

#include <QLineF>

#include <algorithm>

namespace {

using Polyline = PenStrokes::Polyline;

LanePath straightPath(const QPointF &a, const QPointF &b)
{
    LanePath path;
    path.moveTo(a);
    path.lineTo(b);
    return path;
}

// The part of a pin outside the chip's body: the body is drawn over the pin's inner end.
QRectF outsideBody(QRectF pin, const QRectF &body)
{
    if (!pin.intersects(body))
        return pin;
    if (pin.top() < body.top())
        pin.setBottom(std::min(pin.bottom(), body.top()));
    else if (pin.bottom() > body.bottom())
        pin.setTop(std::max(pin.top(), body.bottom()));
    else if (pin.left() < body.left())
        pin.setRight(std::min(pin.right(), body.left()));
    else if (pin.right() > body.right())
        pin.setLeft(std::max(pin.left(), body.right()));
    return pin;
}


} // namespace

PlotterDrawing::PlotterDrawing(const ArtworkScene &scene, const GeneratorSettings &settings, const Options &options)
    : m_options(options)
    , m_palette(settings, Composite)
    , m_width(settings.width)
    , m_height(settings.height)
{
    if (m_options.tolerance <= 0)
        m_options.tolerance = m_options.pen / 20;
    // The pens in the order the artwork paints their colours, so that where inks cross the
    // later one lies on top as on screen: wires, pads, chips' pins and bodies, glow and signals.
    for (const QColor &color : {m_palette.wire(), m_palette.hole(), ChipGeometry::kPinColor, ChipGeometry::kBodyColor,
                                m_palette.signal()}) {
        if (std::none_of(m_layers.begin(), m_layers.end(), [&](const PenLayer &l) { return l.color == color; }))
            m_layers.append({color, {}, {}});
    }
    addWires(scene, settings);
    addDots(scene, settings);
    addChips(scene, settings);
    addSignals(scene, settings);
    // Ends closer than a tenth of the pen meet: the pen need not lift between them.
    const double join = m_options.pen / 10;
    for (PenLayer &layer : m_layers)
        layer.lines = PenRoute::ordered(std::move(layer.lines), home(), join);
}

void PlotterDrawing::add(Part part, const QColor &color, Polyline line)
{
    if (line.size() < 2)
        return;
    const auto layer = std::find_if(m_layers.begin(), m_layers.end(), [&](const PenLayer &l) { return l.color == color; });
    const QString name = nameOf(part);
    if (!layer->parts.contains(name))
        layer->parts.append(name);
    layer->lines.append(std::move(line));
}

void PlotterDrawing::addWires(const ArtworkScene &scene, const GeneratorSettings &settings)
{
    const RenderMetrics metrics(settings, 1.0f);
    const double pen = m_options.pen;
    const double tolerance = m_options.tolerance;
    // The artwork paints its pads and glowing dots over the wires' ends (the hole too), so
    // a wire shows only outside the dots at its ends.
    const double r = metrics.dotRadius();
    const auto wireStroke = [&](const LanePath &lane, double width, const QVector<WireDots::Dot> &dots) {
        const Polyline centre = PenStrokes::centreLine(lane, tolerance);
        if (centre.size() < 2)
            return Polyline();
        const auto covered = [&](const QPointF &end) {
            return std::any_of(dots.begin(), dots.end(), [&](const WireDots::Dot &dot) {
                return (dot.pad || dot.glow) && QLineF(end, dot.centre).length() <= 1.0;
            });
        };
        const Polyline shown = PenStrokes::trimmed(centre, covered(centre.first()) ? r : 0, covered(centre.last()) ? r : 0);
        return PenStrokes::passes(shown, width, pen, m_options.outlines);
    };
    const auto &all = scene.circuit().wires();
    for (size_t index = 0; index < all.size(); ++index) {
        const Wire *wire = all[index];
        if (wire->removed || wire->cells.size() < 2)
            continue;
        const double width = metrics.strokeWidth(wire->thickness, wire->density);
        const LaneGeometry geometry(*wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
        const QVector<WireDots::Dot> dots = r > 0 ? WireDots::of(scene, index, metrics, Composite) : QVector<WireDots::Dot>();
        if (wire->cells.size() == 2) {
            add(WiresAndPads, m_palette.wire(),
                wireStroke(straightPath(metrics.exactCentre(wire->cells[0]->x, wire->cells[0]->y),
                                        metrics.exactCentre(wire->cells[1]->x, wire->cells[1]->y)),
                           width, dots));
        } else {
            for (int l = 0; l < wire->density; ++l)
                add(WiresAndPads, m_palette.wire(), wireStroke(geometry.lanePath(l), width, dots));
        }
    }
}

void PlotterDrawing::addSignals(const ArtworkScene &scene, const GeneratorSettings &settings)
{
    // A signal in the wire's colour lies exactly on its wire's lines.
    if (m_palette.signal() == m_palette.wire())
        return;
    const RenderMetrics metrics(settings, 1.0f);
    const auto &all = scene.circuit().wires();
    for (size_t index = 0; index < all.size(); ++index) {
        const int lanes = scene.signalCount(index);
        if (lanes == 0)
            continue;
        const Wire &wire = *all[index];
        const double width = metrics.strokeWidth(wire.thickness, wire.density);
        const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
        for (int l = 0; l < lanes; ++l) {
            const SignalStretch &stretch = scene.signal(index, l);
            if (!stretch.isWrittenToSvg())
                continue;
            const Polyline centre = PenStrokes::centreLine(geometry.lanePath(l, stretch.start(), stretch.end()), m_options.tolerance);
            add(Signals, m_palette.signal(), PenStrokes::passes(centre, width, m_options.pen, m_options.outlines));
        }
    }
}

QVector<PlotterDrawing::Ring> PlotterDrawing::shownRings(const QVector<Ring> &painted)
{
    // What shows at each radius is the last ring painted there; radii that show one colour
    // side by side are one ring.
    QVector<double> edges;
    for (const Ring &ring : painted)
        edges << ring.inner << ring.outer;
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    QVector<Ring> shown;
    for (int e = 0; e + 1 < edges.size(); ++e) {
        const double middle = (edges[e] + edges[e + 1]) / 2;
        const Ring *top = nullptr;
        for (const Ring &ring : painted) {
            if (ring.inner <= middle && middle < ring.outer)
                top = &ring;
        }
        if (!top)
            continue;
        if (!shown.isEmpty() && shown.last().color == top->color && shown.last().outer == edges[e])
            shown.last().outer = edges[e + 1];
        else
            shown.append({top->part, top->color, edges[e], edges[e + 1]});
    }
    return shown;
}

void PlotterDrawing::addDots(const ArtworkScene &scene, const GeneratorSettings &settings)
{
    const RenderMetrics metrics(settings, 1.0f);
    const double r = metrics.dotRadius();
    const double rh = metrics.holeRadius();
    const double ri = metrics.innerRadius();
    if (r <= 0)
        return;
    // As the artwork paints a pad: a hole when it is smaller than the pad, an inner disc in
    // it; then the glowing dot over it.
    const bool hole = rh < r && rh > 0 && ri < rh;
    const bool inner = rh < r && rh > 0 && ri > 0;
    const auto &wires = scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        if (wires[index]->removed)
            continue;
        for (const WireDots::Dot &dot : WireDots::of(scene, index, metrics, Composite)) {
            QVector<Ring> painted;
            if (dot.pad)
                painted.append({WiresAndPads, m_palette.wire(), hole ? rh : 0, r});
            if (dot.pad && inner)
                painted.append({PadCentres, m_palette.hole(), 0, ri});
            if (dot.glow)
                painted.append({GlowingDots, m_palette.signal(), 0, r});
            for (const Ring &ring : shownRings(painted))
                add(ring.part, ring.color, PenStrokes::spiral(dot.centre, ring.inner, ring.outer, m_options.pen, m_options.tolerance));
        }
    }
}

void PlotterDrawing::addChips(const ArtworkScene &scene, const GeneratorSettings &settings)
{
    const double c = RenderMetrics(settings, 1.0f).cellSize();
    for (const ChipPlacement &chip : scene.circuit().chips()) {
        if (!chip.render)
            continue;
        const QRectF body = ChipGeometry::body(chip, c);
        for (const QRectF &pin : ChipGeometry::pinPairs(chip, c)) {
            const QRectF shown = outsideBody(pin, body);
            if (shown.width() > 0 && shown.height() > 0)
                add(ChipPins, ChipGeometry::kPinColor,
                    PenStrokes::hatched(shown, ChipGeometry::pinCorner(c), m_options.pen, m_options.tolerance));
        }
        add(Chips, ChipGeometry::kBodyColor,
            PenStrokes::hatched(body, ChipGeometry::bodyCorner(c), m_options.pen, m_options.tolerance));
    }
}

QString PlotterDrawing::nameOf(Part part)
{
    switch (part) {
    case WiresAndPads:
        return QStringLiteral("wires and pads");
    case PadCentres:
        return QStringLiteral("pad centres");
    case GlowingDots:
        return QStringLiteral("glowing dots");
    case Signals:
        return QStringLiteral("signals");
    case Chips:
        return QStringLiteral("chips");
    case ChipPins:
        break;
    }
    return QStringLiteral("chip pins");
}

QVector<VectorDrawing::Layer> PlotterDrawing::layerList() const
{
    QVector<Layer> layers;
    for (int i = 0; i < m_layers.size(); ++i) {
        if (m_layers[i].lines.isEmpty())
            continue;
        QString label = m_layers[i].parts.join(QStringLiteral(", "));
        label[0] = label[0].toUpper();
        layers.append({i, label});
    }
    return layers;
}

bool PlotterDrawing::visit(int layer, const Visitor &visitor) const
{
    if (layer < 0 || layer >= m_layers.size())
        return true;
    Shape shape;
    shape.kind = Shape::Polyline;
    shape.color = m_layers[layer].color;
    shape.strokeWidth = m_options.pen;
    shape.pen = true;
    for (const Polyline &line : m_layers[layer].lines) {
        shape.points = &line;
        if (!visitor(shape))
            return false;
    }
    return true;
}

const QVector<PenStrokes::Polyline> &PlotterDrawing::lines(int layer) const
{
    static const QVector<Polyline> none;
    return layer < 0 || layer >= m_layers.size() ? none : m_layers[layer].lines;
}
