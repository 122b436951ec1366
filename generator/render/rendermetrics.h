#pragma once

#include <QPoint>
#include <QPointF>

struct GeneratorSettings;

// The sizes one render derives from the settings and the render scale s
// (1 for the on-screen image and SVG, scale_percent / 100 for exports).
class RenderMetrics
{
public:
    // Largest canvas a whole-canvas render allocates: each side at most
    // kMaxSide pixels and at most kMaxPixels in all (a render holds about five
    // images of this size at once). A larger canvas is not drawable whole.
    static constexpr int kMaxSide = 16384;
    static constexpr long long kMaxPixels = 40000000;
    // Largest canvas a banded render (the raster exports) draws: it holds only
    // a few bands at a time, so the limits are those of the file formats and
    // of a sensible print: 65,535 pixels a side, 1,000 Mpx in all.
    static constexpr int kMaxBandedSide = 65535;
    static constexpr long long kMaxBandedPixels = 1000000000;
    // Blur radii beyond this give a uniform wash anyway; capping them bounds
    // the blur's working memory for absurd glow settings.
    static constexpr int kMaxBlurRadius = 256;

    RenderMetrics(const GeneratorSettings &settings, float renderScale);

    // Canvas size: roundf(float(size) × s), half away from zero; 0 when the
    // result is negative, not finite or beyond the banded limits.
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Whether the canvas has pixels and fits the whole-canvas limits.
    bool isDrawable() const;
    // Whether the canvas has pixels and fits the banded limits.
    bool isBandable() const;
    // Whether the canvas has pixels at all (before any limit).
    bool hasPixels() const { return m_hasPixels; }

    double cellSize() const { return m_cellSize; }
    float dotRadius() const { return m_dotRadius; }
    float holeRadius() const { return m_holeRadius; }
    int innerRadius() const { return m_innerRadius; }
    // Glow blur radius g, capped at kMaxBlurRadius.
    int signalGlow() const { return m_signalGlow; }

    // Centre of cell (x, y) truncated to whole pixels.
    QPoint cellCentre(int x, int y) const;
    // Centre of cell (x, y) in double precision, not truncated.
    QPointF exactCentre(int x, int y) const;
    // Stroke width of a wire with the given thickness factor and lane count:
    // one lane full width, two lanes two thirds, any other count half.
    double strokeWidth(float wireThicknessFactor, int density) const;

    // Centre of cell (x, y) for cell size c: (int((x + 0.5) × c), int((y + 0.5) × c)).
    static QPoint cellCentre(int x, int y, double cellSize);
    // One canvas side: roundf(float(size) × s), or 0 when out of the banded range.
    static int canvasSide(int size, float renderScale);
    // Truncation toward zero that stays defined for any double: NaN gives 0
    // and magnitudes are capped far beyond any drawable canvas.
    static int truncated(double value);

private:
    float m_wireThickness;
    bool m_hasPixels;
    int m_width;
    int m_height;
    double m_cellSize;
    float m_dotRadius;
    float m_holeRadius;
    int m_innerRadius;
    int m_signalGlow;
};
