#include "rasterfilewriter.h"

#include "artworkscene.h"
#include "circuitrenderer.h"
#include "drawingbudget.h"
#include "exportfile.h"
#include "rendermetrics.h"

#include <QFileInfo>
#include <QStorageInfo>

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
    const int width = metrics.width();
    const int height = metrics.height();
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
    const auto result = m_renderer.renderBands(scene, settings, renderScale, layer, [&](const QImage &rows, int) {
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
    });
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
