#include "drawingbudget.h"

#include "circuit.h"
#include "generatorsettings.h"
#include "rendermetrics.h"

#include <algorithm>
#include <cmath>

namespace {

// Antialiasing reaches this far past every shape, as in the render plan.
constexpr double kBleed = 2.0;

// A disc of radius r drawn on the canvas: its bounding square, clipped.
double discPixels(double r, double canvas)
{
    const double side = 2 * r + 2 * kBleed;
    return std::min(side * side, canvas);
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

struct Culprit {
    const char *key;
    double value;
};

// The stroke width grows with both keys; the one furthest above its usual value is named.
Culprit strokeCulprit(const GeneratorSettings &s)
{
    const double thickness = std::fabs(double(s.wireThickness));
    const double widest = std::fabs(double(s.maxWireThickness)) / 2.4;
    if (widest > thickness || std::isnan(double(s.maxWireThickness)))
        return {"max_wire_thickness", double(s.maxWireThickness)};
    return {"wire_thickness", double(s.wireThickness)};
}

} // namespace

DrawingBudget::Estimate DrawingBudget::estimate(const Circuit &circuit, const GeneratorSettings &settings,
                                                float renderScale)
{
    const RenderMetrics metrics(settings, renderScale);
    const double canvas = double(metrics.width()) * metrics.height();
    Estimate sum;
    if (canvas <= 0)
        return sum;
    const double c = metrics.cellSize();
    // Each end point gets a pad, its hole, a glowing dot and a shadow disc at most.
    const double dot = 4 * discPixels(RenderMetrics::truncated(metrics.dotRadius()), canvas);
    const double inner = discPixels(metrics.innerRadius(), canvas);
    for (const Wire *wire : circuit.wires()) {
        if (wire->removed)
            continue;
        const double ends = 2 + 2 * double(wire->density);
        sum.dots += ends * dot;
        sum.innerDots += ends * inner;
        if (wire->cells.size() < 2)
            continue;
        // Every lane on the canvas, in the shadow and as a signal; stroking a bent lane
        // with round caps takes about twice the work of filling its straight area.
        const double width = std::fabs(metrics.strokeWidth(wire->thickness, wire->density)) + 2 * kBleed;
        const double length = double(wire->cells.size()) * c + width;
        const double lane = std::isfinite(width) ? std::min(length * width, canvas) : canvas;
        sum.strokes += 6 * std::max(1, wire->density) * lane;
    }
    return sum;
}

QString DrawingBudget::rasterRefusal(const Circuit &circuit, const GeneratorSettings &settings, float renderScale)
{
    const RenderMetrics metrics(settings, renderScale);
    const double canvas = double(metrics.width()) * metrics.height();
    const double limit = std::max(double(kMinCoveredPixels), double(kCanvasMultiple) * canvas);
    const Estimate work = estimate(circuit, settings, renderScale);
    if (work.total() <= limit)
        return QString();
    Culprit culprit {"dot_size", double(settings.dotSize)};
    if (work.innerDots > work.dots && work.innerDots > work.strokes)
        culprit = {"inside_hole_size", double(settings.insideHoleSize)};
    else if (work.strokes > work.dots)
        culprit = strokeCulprit(settings);
    return QStringLiteral("%1: %2 is too large: drawing would cover about %3 Mpx of a %4 x %5 px canvas, more "
                          "than the limit of %6 Mpx")
            .arg(QLatin1String(culprit.key), number(culprit.value))
            .arg(qint64(work.total() / 1e6))
            .arg(metrics.width())
            .arg(metrics.height())
            .arg(qint64(limit / 1e6));
}

QString DrawingBudget::vectorRefusal(const GeneratorSettings &s)
{
    if (s.width > kMaxVectorSide || s.height > kMaxVectorSide)
        return QStringLiteral("width %1 and height %2: the canvas is too large: the limit is %3 pixels a side")
                .arg(s.width)
                .arg(s.height)
                .arg(kMaxVectorSide);
    // A raster render caps what it cannot draw; a document would write "inf".
    // The documents write these sizes in single precision, as the settings hold them.
    const float c = s.scale * 20.0f;
    const float r = c * 0.25f * s.dotSize;
    const Culprit sizes[] = {
            {"scale", double(c)},
            {"dot_size", double(r)},
            {"hole_size", double(r * s.holeSize)},
            {"inside_hole_size", double(r * s.holeSize * s.insideHoleSize)},
            {"wire_thickness", double(c * 0.25f * s.wireThickness)},
            {"max_wire_thickness", double(c * 0.25f * s.wireThickness * s.maxWireThickness)},
    };
    for (const Culprit &size : sizes) {
        if (!std::isfinite(size.value))
            return QStringLiteral("%1: too large: the sizes it gives are beyond any number a drawing can hold")
                    .arg(QLatin1String(size.key));
    }
    return QString();
}
