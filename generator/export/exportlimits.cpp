#include "exportlimits.h"

#include "circuit.h"

qint64 ExportLimits::maxCells(Format format)
{
    switch (format) {
    case Format::Pdf:
        return kMaxPdfCells;
    case Format::Plotter:
        return kMaxPlotterCells;
    case Format::Svg:
    case Format::ArtworkSvg:
        break;
    }
    return kMaxSvgCells;
}

QString ExportLimits::refusal(const GridSize &grid, Format format)
{
    const qint64 cells = qint64(grid.columns) * grid.rows;
    if (cells <= maxCells(format))
        return QString();
    static const char *const names[] = {"an SVG", "an artwork SVG", "a PDF", "a plotter"};
    return QStringLiteral("the grid of %1 x %2 = %3 cells is too large for %4 export: the limit is %5 cells")
            .arg(grid.columns)
            .arg(grid.rows)
            .arg(cells)
            .arg(QLatin1String(names[int(format)]))
            .arg(maxCells(format));
}
