#include "renderplan.h"

#include "artworkscene.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "rendermetrics.h"
#include "signalstretch.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Antialiasing and round caps reach at most this far past the geometry.
constexpr double kBleed = 2.0;

bool isDrawnWire(const Wire &wire)
{
    return !wire.removed && wire.cells.size() >= 2;
}

RenderPlan::Stroke stroke(const LanePath &geometry, double penWidth)
{
    const QRectF bounds = geometry.toPainterPath().controlPointRect();
    const double reach = penWidth / 2 + kBleed;
    return {geometry,
            penWidth,
            bounds.top() - reach,
            bounds.bottom() + reach,
            bounds.left() - reach,
            bounds.right() + reach};
}

QVector<LanePath> wireLanes(const Wire &wire, const GeneratorSettings &settings, const RenderMetrics &metrics)
{
    if (wire.cells.size() == 2) {
        const CircuitCell *a = wire.cells[0];
        const CircuitCell *b = wire.cells[1];
        LanePath path;
        path.moveTo(metrics.exactCentre(a->x, a->y));
        path.lineTo(metrics.exactCentre(b->x, b->y));
        return {path};
    }
    const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
    QVector<LanePath> lanes;
    for (int lane = 0; lane < wire.density; ++lane)
        lanes.append(geometry.lanePath(lane));
    return lanes;
}

} // namespace

RenderPlan::RenderPlan(const ArtworkScene &scene, const GeneratorSettings &settings, const RenderMetrics &metrics,
                       RenderLayer layer)
{
    const bool strokesWires = layer == Composite || layer == Wires;
    const auto &wires = scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        const Wire *wire = wires[index];
        WireItem item {{}, false, false, {}, {}};
        if (wire->removed) {
            m_wires.append(item);
            continue;
        }
        const bool drawn = isDrawnWire(*wire);
        const bool shadow = layer == Composite && settings.wireShadow > 0;
        if (drawn && (strokesWires || shadow)) {
            const double width = metrics.strokeWidth(wire->thickness, wire->density);
            for (const LanePath &path : wireLanes(*wire, settings, metrics))
                item.lanes.append(stroke(path, width));
        }
        item.mainStroke = drawn && strokesWires;
        item.shadowStroke = drawn && shadow;
        if (shadow && metrics.dotRadius() > 0)
            item.shadowDots = WireDots::endPoints(*wire, metrics);
        item.dots = WireDots::of(scene, index, metrics, layer);
        m_wires.append(item);
    }
    forEachSignalLane(scene, settings, metrics,
                      [this](const LaneGeometry &geometry, const Wire &, int lane, SignalStretch stretch, double width) {
                          m_signals.append(stroke(geometry.lanePath(lane, stretch.start(), stretch.end()), width));
                      });
}

void RenderPlan::forEachSignalLane(const ArtworkScene &scene, const GeneratorSettings &settings,
                                   const RenderMetrics &metrics, const SignalLaneUse &use)
{
    const auto &wires = scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        const int lanes = scene.signalCount(index);
        if (lanes == 0)
            continue;
        const Wire &wire = *wires[index];
        const double width = metrics.strokeWidth(wire.thickness, wire.density);
        const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
        for (int lane = 0; lane < lanes; ++lane)
            use(geometry, wire, lane, scene.signal(index, lane).forRaster(), width);
    }
}

void RenderPlan::moveSignals(const ArtworkScene &scene, const GeneratorSettings &settings,
                             const RenderMetrics &metrics, int frame, int frameCount)
{
    if (m_travelling.empty()) {
        m_travelling.reserve(size_t(m_signals.size()));
        forEachSignalLane(scene, settings, metrics,
                          [this](const LaneGeometry &geometry, const Wire &wire, int lane, SignalStretch stretch,
                                 double) { m_travelling.emplace_back(geometry, lane, int(wire.cells.size()), stretch); });
    }
    for (size_t i = 0; i < m_travelling.size(); ++i) {
        const TravellingSignal &signal = m_travelling[i];
        // The product is a whole number, so k of n and 2k of 2n divide to the same shift.
        const double shift = double(frame) * signal.steps() / frameCount;
        m_signals[int(i)] = stroke(signal.at(shift), m_signals[int(i)].penWidth);
    }
}

bool RenderPlan::touches(const Stroke &stroke, int top, int bottom)
{
    return stroke.bottom >= top && stroke.top <= bottom;
}

bool RenderPlan::discTouches(const QPoint &centre, int k, int top, int bottom)
{
    return centre.y() + k + kBleed >= top && centre.y() - k - kBleed <= bottom;
}

bool RenderPlan::hasEmptySquare(bool ofSignals, int k, int side, int width, int height) const
{
    if (side > width || side > height)
        return false;
    struct Box {
        double top, bottom, left, right;
    };
    std::vector<Box> boxes;
    if (ofSignals) {
        for (const Stroke &stroke : m_signals)
            boxes.push_back({stroke.top, stroke.bottom, stroke.left, stroke.right});
    } else {
        for (const WireItem &wire : m_wires) {
            for (const WireDots::Dot &dot : wire.dots) {
                if (dot.glow)
                    boxes.push_back({dot.centre.y() - k - kBleed, dot.centre.y() + k + kBleed,
                                     dot.centre.x() - k - kBleed, dot.centre.x() + k + kBleed});
            }
        }
    }
    // Squares in rows of side pixels; in each row, a gap of side columns
    // between the boxes that reach into it.
    std::vector<std::pair<double, double>> spans;
    for (int top = 0; top + side <= height; top += side) {
        const int bottom = top + side - 1;
        spans.clear();
        for (const Box &box : boxes) {
            if (box.bottom >= top && box.top <= bottom)
                spans.emplace_back(box.left, box.right);
        }
        std::sort(spans.begin(), spans.end());
        double free = 0; // first column not yet known to be covered
        for (const auto &span : spans) {
            if (span.first - free >= side + 1)
                return true;
            free = std::max(free, span.second + 1);
        }
        if (width - free >= side + 1)
            return true;
    }
    return false;
}
