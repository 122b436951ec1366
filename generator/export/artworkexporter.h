// ArtworkExporter: the print and plotter exports beside the plain ones: the artwork SVG
// (named layers, chips, physical size) and the vector PDF.
#pragma once

#include "exportlimits.h"
#include "exportresult.h"
#include "printlayout.h"

#include <QString>

#include <functional>
#include <memory>

class ArtworkScene;
class ByteSink;
class CircuitGenerator;
class VectorDrawing;
struct GeneratorSettings;

class ArtworkExporter
{
public:
    struct Options {
        // The sheet: page, margin (the artwork inside it) and, for PDF, bleed.
        PrintLayout layout;
        bool background = true;
        // SVG: also one file per layer.
        bool separate = false;
        // Lines for a pen plotter instead of the artwork's shapes.
        bool plotter = false;
        double penMm = kDefaultPenMm;
        // Plotter: wires wider than the pen as outlines instead of parallel passes.
        bool outlines = false;
        // PDF: the document's title.
        QString title;
    };

    // A pen of this width, in millimetres, unless given another.
    static constexpr double kDefaultPenMm = 0.5;
    static constexpr double kMinPenMm = 0.05;
    static constexpr double kMaxPenMm = 5;
    // The most pen widths squared a plotter drawing covers: its lines grow with the
    // artwork's area over the pen's width squared. A 0.5 mm pen on 2.7 m square.
    static constexpr double kMaxPenAreas = 3e7;

    explicit ArtworkExporter(CircuitGenerator &generator);

    // Why these options make no export, naming the value; empty when they make one.
    static QString refusal(const Options &options);

    // The artwork SVG; with separate also BASE.wires.svg, BASE.dots.svg,
    // BASE.components.svg, BASE.signals.svg and BASE.dot_signals.svg, each one layer on a
    // transparent background. Reseeds and regenerates first, as every export does. A page
    // gives the document its size in millimetres; a margin a view of the whole sheet.
    ExportResult exportSvg(const QString &file, const Options &options);
    // One page (the canvas at 96 dpi when none is given) with the artwork centred and
    // fitted as vector paths. Grids over ExportLimits' limits are refused before generating.
    ExportResult exportPdf(const QString &file, const Options &options);

private:
    // Refuses options and drawings that make no export, then regenerates for the format (a
    // plotter drawing's own limit when it is one).
    ExportResult prepare(const QString &file, const Options &options, ExportLimits::Format format);
    // Why a plotter drawing of the stored canvas on this sheet would be too large; empty when not.
    QString plotterRefusal(const Options &options) const;
    // Reseeds and regenerates; a grid over the format's limit (refused before generating),
    // a refused generation or a canvas without extent fails.
    ExportResult regenerate(const QString &file, ExportLimits::Format format);
    // The drawing the options ask for, on the scene's circuit, at a pen width for this sheet.
    static std::unique_ptr<VectorDrawing> drawingOf(const ArtworkScene &scene, const GeneratorSettings &settings,
                                                    const Options &options, const PageGeometry &geometry);
    // Complete or not at all, as every export file, streamed as produced.
    static ExportResult write(const QString &file, const std::function<void(ByteSink &)> &produce);

    CircuitGenerator &m_generator;
};
