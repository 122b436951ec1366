#include "rasterfilewriter.h"

#include "artworkscene.h"
#include "circuitrenderer.h"
#include "drawingbudget.h"
#include "exportfile.h"
#include "layerpalette.h"
#include "rendermetrics.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <vector>

namespace {

// PNG of the artwork takes well over a byte per 32 pixels; less free space
// than this cannot hold it.
constexpr qint64 kPngPixelsPerByteFloor = 32;

// The rows as raw RGB, alpha dropped, into buffer.
void rgbRows(const QImage &rows, std::vector<char> &buffer)
{
    buffer.resize(size_t(3) * size_t(rows.width()) * size_t(rows.height()));
    char *out = buffer.data();
    for (int y = 0; y < rows.height(); ++y) {
        // Whole pixels as QRgb, so the channel order does not depend on the
        // machine's byte order.
        const auto *row = reinterpret_cast<const QRgb *>(rows.constScanLine(y));
        for (int x = 0; x < rows.width(); ++x) {
            *out++ = static_cast<char>(qRed(row[x]));
            *out++ = static_cast<char>(qGreen(row[x]));
            *out++ = static_cast<char>(qBlue(row[x]));
        }
    }
}

} // namespace

// The canvas's bands set into sheet-wide rows, with the rows above and below the canvas in
// the background colour; handed on a band at a time, as the canvas alone would be.
class RasterFileWriter::SheetRows
{
public:
    SheetRows(const QSize &sheet, const QPoint &offset, const QSize &canvas, const QColor &background)
        : m_sheet(sheet)
        , m_offset(offset)
        , m_canvas(canvas)
        , m_background(background.rgb())
    { }

    QSize size() const { return m_sheet.isEmpty() ? m_canvas : m_sheet.expandedTo(m_canvas + QSize(m_offset.x(), m_offset.y())); }

    // The band as the sheet's rows; the band itself without a sheet.
    QImage place(const QImage &band) const
    {
        if (m_sheet.isEmpty())
            return band;
        QImage rows(size().width(), band.height(), QImage::Format_RGB32);
        rows.fill(m_background);
        for (int y = 0; y < band.height(); ++y)
            std::copy_n(reinterpret_cast<const QRgb *>(band.constScanLine(y)), band.width(),
                        reinterpret_cast<QRgb *>(rows.scanLine(y)) + m_offset.x());
        return rows;
    }

    // Background rows: `count` of them, in blocks of at most a band's size.
    template <typename Write>
    bool blank(int count, const Write &write) const
    {
        constexpr int kBlock = 64;
        QImage rows(size().width(), std::min(count, kBlock), QImage::Format_RGB32);
        rows.fill(m_background);
        for (int done = 0; done < count; done += kBlock) {
            if (!write(count - done >= kBlock ? rows : rows.copy(0, 0, rows.width(), count - done)))
                return false;
        }
        return true;
    }

    int above() const { return m_sheet.isEmpty() ? 0 : m_offset.y(); }
    int below() const { return m_sheet.isEmpty() ? 0 : size().height() - m_offset.y() - m_canvas.height(); }

private:
    QSize m_sheet;
    QPoint m_offset;
    QSize m_canvas;
    QRgb m_background;
};

RasterFileWriter::RasterFileWriter(CircuitRenderer &renderer, const PngStreamWriter::Options &pngOptions)
    : m_renderer(renderer)
    , m_pngOptions(pngOptions)
{ }

qint64 RasterFileWriter::bytesNeeded(Format format, int width, int height)
{
    const qint64 pixels = qint64(width) * height;
    return format == Format::Bin ? 3 * pixels : pixels / kPngPixelsPerByteFloor;
}

qint64 RasterFileWriter::bytesFree(const QString &file)
{
    const QFileInfo info(file);
    if (info.exists() && !info.isFile())
        return -1;
    const QStorageInfo storage(info.absolutePath());
    if (!storage.isValid() || !storage.isReady())
        return -1;
    return storage.bytesAvailable();
}

ExportResult RasterFileWriter::write(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                                     RenderLayer layer, Format format, const QString &file)
{
    m_lastPng.clear();
    const RenderMetrics metrics(settings, renderScale);
    if (!metrics.isBandable())
        return ExportResult::canvasNotDrawable(file);
    const QString overBudget = DrawingBudget::rasterRefusal(scene.circuit(), settings, renderScale);
    if (!overBudget.isEmpty())
        return ExportResult::drawingRefused(file, overBudget);
    const SheetRows sheet(m_sheet, m_offset, QSize(metrics.width(), metrics.height()),
                          LayerPalette(settings, layer).background());
    const int width = sheet.size().width();
    const int height = sheet.size().height();
    // The sheet around the canvas is held to the canvas's own limits.
    if (width > RenderMetrics::kMaxBandedSide || height > RenderMetrics::kMaxBandedSide
        || qint64(width) * height > RenderMetrics::kMaxBandedPixels)
        return ExportResult::canvasNotDrawable(file);
    const qint64 needed = bytesNeeded(format, width, height);
    const qint64 free = bytesFree(file);
    // An existing file of the same name is replaced only at the end, so its
    // space does not count.
    if (free >= 0 && free < needed)
        return ExportResult::notEnoughSpace(file, needed, free);

    ExportFile out(file);
    if (!out.open())
        return fileResult(out.error(), file);
    const bool keep = format == Format::Png && qint64(width) * height <= m_keptPixels;
    PngStreamWriter png(
            [this, &out, keep](const char *data, qint64 size) {
                if (keep)
                    m_lastPng.append(data, int(size));
                return out.write(data, size);
            },
            width, height, m_pngOptions);
    if (format == Format::Png && !png.begin()) {
        m_lastPng.clear();
        return out.error() != ExportFile::Error::None ? fileResult(out.error(), file)
                                                      : ExportResult::failed(ExportResult::CannotWriteFile, file);
    }
    std::vector<char> rgb;
    qint64 rowsDone = 0;
    bool cancelled = false;
    const auto writeRows = [&](const QImage &rows) {
        bool written;
        if (format == Format::Png) {
            written = png.writeRows(rows);
        } else {
            rgbRows(rows, rgb);
            written = out.write(rgb.data(), qint64(rgb.size()));
        }
        if (!written)
            return false;
        rowsDone += rows.height();
        cancelled = m_progress && !m_progress(rowsDone);
        return !cancelled;
    };
    auto result = CircuitRenderer::BandResult::Done;
    if (!sheet.blank(sheet.above(), writeRows))
        result = CircuitRenderer::BandResult::Stopped;
    if (result == CircuitRenderer::BandResult::Done)
        result = m_renderer.renderBands(scene, settings, renderScale, layer,
                                        [&](const QImage &rows, int) { return writeRows(sheet.place(rows)); });
    if (result == CircuitRenderer::BandResult::Done && !sheet.blank(sheet.below(), writeRows))
        result = CircuitRenderer::BandResult::Stopped;
    const bool complete
            = result == CircuitRenderer::BandResult::Done && (format == Format::Bin || png.finish()) && out.commit();
    if (complete)
        return ExportResult::success();
    m_lastPng.clear();
    if (cancelled)
        return ExportResult::failed(ExportResult::Cancelled, file);
    if (result == CircuitRenderer::BandResult::NotDrawable)
        return ExportResult::canvasNotDrawable(file);
    if (out.error() != ExportFile::Error::None)
        return fileResult(out.error(), file);
    return ExportResult::failed(ExportResult::CannotWriteFile, file);
}

ExportResult RasterFileWriter::fileResult(ExportFile::Error error, const QString &file)
{
    switch (error) {
    case ExportFile::Error::None:
        break;
    case ExportFile::Error::CannotOpen:
        return ExportResult::cannotOpen(file);
    case ExportFile::Error::CannotWrite:
        return ExportResult::failed(ExportResult::CannotWriteFile, file);
    case ExportFile::Error::DiskFull:
        return ExportResult::failed(ExportResult::DiskFull, file);
    }
    return ExportResult::success();
}
