// ArtworkExporter: the print and plotter exports beside the plain ones: the artwork SVG
// (named layers, chips, physical size) and the vector PDF.
#pragma once

#include "artworksvgwriter.h"
#include "exportlimits.h"
#include "exportresult.h"

#include <QSizeF>
#include <QString>

#include <functional>

class ByteSink;

class CircuitGenerator;

class ArtworkExporter
{
public:
    explicit ArtworkExporter(CircuitGenerator &generator);

    // The artwork SVG; with separate also BASE.wires.svg, BASE.dots.svg,
    // BASE.components.svg, BASE.signals.svg and BASE.dot_signals.svg, each one layer on a
    // transparent background. Reseeds and regenerates first, as every export does.
    ExportResult exportSvg(const QString &file, bool separate, const ArtworkSvgWriter::Options &options);
    // One page of pageMm (the canvas at 96 dpi when empty) with the artwork centred and
    // fitted as vector paths. Grids over ExportLimits' limits are refused before generating.
    ExportResult exportPdf(const QString &file, QSizeF pageMm, bool background);

private:
    // Reseeds and regenerates; a grid over the format's limit (refused before generating),
    // a refused generation or a canvas without extent fails.
    ExportResult regenerate(const QString &file, ExportLimits::Format format);
    // Complete or not at all, as every export file, streamed as produced.
    static ExportResult write(const QString &file, const std::function<void(ByteSink &)> &produce);

    CircuitGenerator &m_generator;
};
