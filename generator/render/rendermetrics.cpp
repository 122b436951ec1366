#include "rendermetrics.h"

#include "generatorsettings.h"

#include <algorithm>
#include <cmath>

namespace {

// Coordinates and radii beyond this lie far outside every drawable canvas;
// capping them keeps integer rectangles (x − k, 2k) from overflowing.
constexpr double kCoordinateLimit = 1 << 24;

} // namespace

RenderMetrics::RenderMetrics(const GeneratorSettings &settings, float renderScale)
    : m_wireThickness(settings.wireThickness)
    , m_hasPixels(false)
    , m_width(canvasSide(settings.width, renderScale))
    , m_height(canvasSide(settings.height, renderScale))
    , m_cellSize(double(settings.scale) * 20.0 * double(renderScale))
    , m_dotRadius(float(m_cellSize * 0.25 * settings.dotSize))
    , m_holeRadius(settings.holeSize * m_dotRadius)
    , m_innerRadius(truncated(std::roundf(settings.insideHoleSize * m_holeRadius)))
    , m_signalGlow(
              std::min(truncated(std::round(settings.signalGlowing * (double(renderScale) * 10.0))), kMaxBlurRadius))
{
    const float w = std::roundf(float(settings.width) * renderScale);
    const float h = std::roundf(float(settings.height) * renderScale);
    m_hasPixels = w > 0 && h > 0;
    if (!isBandable())
        m_width = m_height = 0;
}

bool RenderMetrics::isDrawable() const
{
    return isBandable() && m_width <= kMaxSide && m_height <= kMaxSide
            && static_cast<long long>(m_width) * m_height <= kMaxPixels;
}

bool RenderMetrics::isBandable() const
{
    return m_width > 0 && m_height > 0 && static_cast<long long>(m_width) * m_height <= kMaxBandedPixels;
}

QPoint RenderMetrics::cellCentre(int x, int y) const
{
    return cellCentre(x, y, m_cellSize);
}

QPoint RenderMetrics::cellCentre(int x, int y, double cellSize)
{
    return QPoint(truncated((x + 0.5) * cellSize), truncated((y + 0.5) * cellSize));
}

QPointF RenderMetrics::exactCentre(int x, int y) const
{
    return QPointF((x + 0.5) * m_cellSize, (y + 0.5) * m_cellSize);
}

double RenderMetrics::strokeWidth(float wireThicknessFactor, int density) const
{
    const double base = m_cellSize * 0.25 * wireThicknessFactor * m_wireThickness;
    if (density == 1)
        return base / 1.0;
    if (density == 2)
        return base / 1.5;
    return base / 2.0;
}

int RenderMetrics::canvasSide(int size, float renderScale)
{
    const float side = std::roundf(float(size) * renderScale);
    if (!(side > 0) || side > kMaxBandedSide)
        return 0;
    return static_cast<int>(side);
}

int RenderMetrics::truncated(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}
