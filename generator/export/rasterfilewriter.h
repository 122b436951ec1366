#pragma once

#include "exportfile.h"
#include "exportresult.h"
#include "pngstreamwriter.h"
#include "renderlayer.h"

#include <QByteArray>
#include <QString>

#include <functional>

class ArtworkScene;
class CircuitRenderer;
struct GeneratorSettings;

// Writes one raster export file, PNG or headerless raw RGB (BIN), while the
// renderer delivers the canvas in bands: rows go to the file as each band is
// finished, through ExportFile, so the file appears complete or not at all.
class RasterFileWriter
{
public:
    enum class Format { Png, Bin };

    // Told after each band: rows written so far in this file; returns false
    // to cancel the export.
    using RowProgress = std::function<bool(qint64 rowsDone)>;

    RasterFileWriter(CircuitRenderer &renderer, const PngStreamWriter::Options &pngOptions);

    void setRowProgress(RowProgress progress) { m_progress = std::move(progress); }
    // The file holds a whole sheet of `sheet` pixels with the rendered canvas at `offset`,
    // the layer's background colour around it; an empty sheet: the canvas alone.
    void setSheet(const QSize &sheet, const QPoint &offset)
    {
        m_sheet = sheet;
        m_offset = offset;
    }
    // Keeps the PNG bytes of files up to this many pixels (lastPng()).
    void setKeptPixels(qint64 pixels) { m_keptPixels = pixels; }

    // Renders the layer at renderScale and writes it to file. Fails before
    // opening anything when the canvas exceeds the banded limits or the folder
    // lacks the space the file needs.
    ExportResult write(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                       RenderLayer layer, Format format, const QString &file);

    // The PNG bytes of the last file written, when it was small enough to keep.
    const QByteArray &lastPng() const { return m_lastPng; }

    // The export result for an ExportFile error.
    static ExportResult fileResult(ExportFile::Error error, const QString &file);

    // Free bytes a file of this format and canvas needs at least: all of a
    // BIN file; for PNG a floor that even the plainest artwork exceeds.
    static qint64 bytesNeeded(Format format, int width, int height);
    // Free bytes in the folder that would hold file; -1 when unknown (a
    // device or pipe written in place, or a folder that cannot be examined).
    static qint64 bytesFree(const QString &file);

private:
    // Rows of the sheet around and beside the canvas's rows, in the background colour.
    class SheetRows;

    CircuitRenderer &m_renderer;
    QSize m_sheet;
    QPoint m_offset;
    PngStreamWriter::Options m_pngOptions;
    RowProgress m_progress;
    qint64 m_keptPixels = 0;
    QByteArray m_lastPng;
};
