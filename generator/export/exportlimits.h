// ExportLimits: the largest grids the vector exports take. Generation and writing grow
// with the cells; above these an export of a dense map (short wires, signals and glowing
// dots everywhere) takes more than 10 s on a two-core machine, so it is refused before
// generating. Memory stays far below 1 GB at these grids. bench_render --vector measures; raise
// the limits when generation or the writers get faster.
#pragma once

#include <QString>

struct GridSize;

class ExportLimits
{
public:
    enum class Format { Svg, ArtworkSvg, Pdf, Plotter };

    // A 1024 x 1024 grid: about 8 s for the densest maps tried, all files of --separate.
    static constexpr qint64 kMaxSvgCells = qint64(1) << 20;
    // A 724 x 724 grid: the PDF writes and compresses several times the SVG's text.
    static constexpr qint64 kMaxPdfCells = qint64(1) << 19;
    // A 512 x 512 grid: a plotter drawing fills its shapes with pen lines, several times the
    // artwork SVG's text, and orders each layer whole. Already 2.7 m a side at 96 dpi.
    static constexpr qint64 kMaxPlotterCells = qint64(1) << 18;

    static qint64 maxCells(Format format);
    // Empty when the grid is within the format's limit, else a one-line reason naming it.
    static QString refusal(const GridSize &grid, Format format);
};
