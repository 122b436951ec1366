#include "circuitexporter.h"

#include "artworkmetadata.h"
#include "bytesink.h"
#include "printsize.h"

#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "drawingbudget.h"
#include "exportfilenames.h"
#include "exportlimits.h"
#include "exportscenes.h"
#include "exportwriter.h"
#include "rasterfilewriter.h"
#include "rendermetrics.h"
#include "svgwriter.h"

#include <algorithm>

namespace {

// All files of a separate export, or only the first (the composite) otherwise.
QVector<ExportFileNames::Entry> chosen(const QVector<ExportFileNames::Entry> &files, bool separate)
{
    return separate ? files : files.mid(0, 1);
}

} // namespace

CircuitExporter::CircuitExporter(CircuitGenerator &generator, CircuitRenderer &renderer)
    : m_generator(generator)
    , m_renderer(renderer)
{ }

bool CircuitExporter::regenerate()
{
    m_generator.resetSeed();
    m_generator.generateCircuit();
    return m_generator.lastError().isEmpty();
}

void CircuitExporter::report(int number, int count, const QString &file) const
{
    if (m_progress)
        m_progress(number, count, file);
}

ExportResult CircuitExporter::exportSvg(const QString &file, bool separate)
{
    const QString tooLarge = ExportLimits::refusal(m_generator.gridSize(), ExportLimits::Format::Svg);
    if (!tooLarge.isEmpty())
        return ExportResult::gridTooLarge(file, tooLarge);
    const QString sizes = DrawingBudget::vectorRefusal(m_generator.settings());
    if (!sizes.isEmpty())
        return ExportResult::drawingRefused(file, sizes);
    if (!regenerate())
        return ExportResult::generationRefused(file);
    // The raster exports refuse such a canvas as well; a document with a negative
    // viewBox is no picture.
    if (m_generator.settings().width <= 0 || m_generator.settings().height <= 0)
        return ExportResult::canvasNotDrawable(file);
    const auto files = chosen(ExportFileNames::svgFiles(file), separate);
    const ExportScenes scenes(m_generator, separate);
    for (int i = 0; i < files.size(); ++i) {
        report(i + 1, files.size(), files[i].file);
        const auto write = [&](ByteSink &out) {
            SvgWriter::write(scenes.of(files[i].layer), m_generator.settings(), files[i].layer, out);
        };
        const ExportResult written
                = RasterFileWriter::fileResult(ExportWriter::streamFile(files[i].file, write), files[i].file);
        if (!written.ok())
            return written;
    }
    return ExportResult::success();
}

ExportResult CircuitExporter::exportPng(const QString &file, float scalePercent, bool separate)
{
    m_lastPng.clear();
    if (!regenerate())
        return ExportResult::generationRefused(file);
    const auto files = chosen(ExportFileNames::pngFiles(file), separate);
    const ExportResult result = writeRaster(files, scalePercent, RasterFileWriter::Format::Png);
    return result;
}

ExportResult CircuitExporter::exportBin(const QString &file, float scalePercent)
{
    if (!regenerate())
        return ExportResult::generationRefused(file);
    return writeRaster({{Composite, file}}, scalePercent, RasterFileWriter::Format::Bin);
}

ExportResult CircuitExporter::writeRaster(const QVector<ExportFileNames::Entry> &files, float scalePercent,
                                          RasterFileWriter::Format format)
{
    const GeneratorSettings &settings = m_generator.settings();
    const ExportScenes scenes(m_generator, files.size() > 1);
    const float renderScale = scalePercent / 100;
    const RenderMetrics metrics(settings, renderScale);
    PngStreamWriter::Options options = m_pngOptions;
    options.threads = m_renderer.threadCount();
    options.pixelsPerMetre = PrintSize::pixelsPerMetre(m_dpi);
    // A page is made for print: RGB in a stated colour space. Other PNGs keep the format
    // every front has always written.
    options.printable = m_layout.hasPage();
    // Every PNG carries the map it was made from, so the artwork can be made again.
    options.texts.append({ArtworkMetadata::kParametersKey.toLatin1(),
                          ArtworkMetadata::parametersJson(m_generator.parameters()), true});
    RasterFileWriter writer(m_renderer, options);
    writer.setKeptPixels(CircuitRenderer::kWholeCanvasPixels);
    int rowsPerFile = metrics.height();
    if (m_layout.hasPage() && m_layout.hasMargin()) {
        const PageGeometry sheet = m_layout.rasterGeometry(settings.width, settings.height);
        const QSize canvas(metrics.width(), metrics.height());
        writer.setSheet(sheet.mediaPixels(m_dpi), sheet.artworkOffsetPixels(m_dpi, canvas));
        rowsPerFile = std::max(canvas.height(), sheet.mediaPixels(m_dpi).height());
    }
    const qint64 rowsTotal = qint64(rowsPerFile) * files.size();
    ExportResult result = ExportResult::success();
    for (int i = 0; i < files.size() && result.ok(); ++i) {
        report(i + 1, files.size(), files[i].file);
        const qint64 rowsBefore = qint64(rowsPerFile) * i;
        writer.setRowProgress([this, rowsBefore, rowsTotal](qint64 rowsDone) {
            return !m_rowProgress || m_rowProgress(rowsBefore + rowsDone, rowsTotal);
        });
        result = writer.write(scenes.of(files[i].layer), settings, renderScale, files[i].layer, format, files[i].file);
        if (format == RasterFileWriter::Format::Png)
            m_lastPng = writer.lastPng();
    }
    // A poster's band images are large; the next preview needs none of them.
    if (qint64(metrics.width()) * metrics.height() > CircuitRenderer::kWholeCanvasPixels)
        m_renderer.releaseBuffers();
    return result;
}
