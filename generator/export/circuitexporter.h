#pragma once

#include "exportfilenames.h"
#include "exportresult.h"
#include "pngstreamwriter.h"
#include "printlayout.h"
#include "rasterfilewriter.h"

#include <QByteArray>
#include <QString>

#include <functional>

class CircuitGenerator;
class CircuitRenderer;

// The export operations of the plug-in and the command-line tool: each one
// reseeds the five random streams from the stored seed, regenerates the
// circuit from the stored settings (without reading parameters), renders and
// writes. The same settings therefore give byte-identical SVG and BIN files
// and pixel-identical PNG files from every front.
class CircuitExporter
{
public:
    // Called before each file of an export: its 1-based number, the number
    // of files the export writes, and the file's name.
    using Progress = std::function<void(int number, int count, const QString &file)>;

    CircuitExporter(CircuitGenerator &generator, CircuitRenderer &renderer);

    // Called after each band of a PNG or BIN export with the rows written
    // so far over all of its files and their total; returning false cancels
    // the export, leaving no file under the name being written.
    using RowProgress = std::function<bool(qint64 rowsDone, qint64 rowsTotal)>;

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    void setRowProgress(RowProgress progress) { m_rowProgress = std::move(progress); }
    // Resolution and text chunks of the PNG files.
    void setPngOptions(const PngStreamWriter::Options &options) { m_pngOptions = options; }
    // The resolution PNG files record (pHYs); a screen's 96 dpi unless set.
    void setDpi(double dpi) { m_dpi = dpi; }
    // The page of a print export: its PNGs are made for print (RGB, sRGB). With a margin,
    // PNG and BIN files are the whole sheet at the dpi, the canvas (rendered at the scale
    // the page fits it at) centred on the layer's background.
    void setPage(const PrintLayout &layout) { m_layout = layout; }

    // Every export writes nothing when the generator refuses its settings.
    //
    // SVG at render scale 1; with separate also the wires, dots, signals and
    // dot signals documents beside it, each streamed as it is written. A grid over
    // ExportLimits::kMaxSvgCells is refused before generating. Nothing is written for a canvas without
    // pixels (width or height not positive). Each file is written completely or not
    // at all (ExportFile); the export stops at the first file that cannot be
    // written, and files written before it stay.
    ExportResult exportSvg(const QString &file, bool separate);
    // PNG at scalePercent / 100; with separate also the five layer masks.
    // The canvas is rendered in bands and each file streamed as the bands
    // finish, written completely or not at all. Stops at the first file that
    // cannot be written, or before writing anything when the canvas exceeds
    // the banded limits or the folder lacks the space.
    ExportResult exportPng(const QString &file, float scalePercent, bool separate);
    // Headerless raw RGB of the composite at scalePercent / 100.
    ExportResult exportBin(const QString &file, float scalePercent);

    // The PNG bytes of the last image exportPng wrote when its canvas has at
    // most CircuitRenderer::kWholeCanvasPixels; empty otherwise and before the
    // first PNG export.
    const QByteArray &lastPng() const { return m_lastPng; }

private:
    // False when the generator refused its settings.
    bool regenerate();
    void report(int number, int count, const QString &file) const;
    ExportResult writeRaster(const QVector<ExportFileNames::Entry> &files, float scalePercent,
                             RasterFileWriter::Format format);

    CircuitGenerator &m_generator;
    CircuitRenderer &m_renderer;
    QByteArray m_lastPng;
    Progress m_progress;
    RowProgress m_rowProgress;
    PngStreamWriter::Options m_pngOptions;
    double m_dpi = 96;
    PrintLayout m_layout;
};
