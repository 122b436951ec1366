#include "artworkexporter.h"

#include "artworkdrawing.h"
#include "artworkpdfwriter.h"
#include "artworkscene.h"
#include "bytesink.h"
#include "circuitgenerator.h"
#include "drawingbudget.h"
#include "exportfilenames.h"
#include "exportwriter.h"
#include "printsize.h"
#include "rasterfilewriter.h"

ArtworkExporter::ArtworkExporter(CircuitGenerator &generator)
    : m_generator(generator)
{ }

ExportResult ArtworkExporter::regenerate(const QString &file, ExportLimits::Format format)
{
    const QString tooLarge = ExportLimits::refusal(m_generator.gridSize(), format);
    if (!tooLarge.isEmpty())
        return ExportResult::gridTooLarge(file, tooLarge);
    const QString sizes = DrawingBudget::vectorRefusal(m_generator.settings());
    if (!sizes.isEmpty())
        return ExportResult::drawingRefused(file, sizes);
    m_generator.resetSeed();
    m_generator.generateCircuit();
    if (!m_generator.lastError().isEmpty())
        return ExportResult::generationRefused(file);
    // A vector page still needs a canvas with an extent to fit and centre.
    if (m_generator.settings().width <= 0 || m_generator.settings().height <= 0)
        return ExportResult::canvasNotDrawable(file);
    return ExportResult::success();
}

ExportResult ArtworkExporter::write(const QString &file, const std::function<void(ByteSink &)> &produce)
{
    return RasterFileWriter::fileResult(ExportWriter::streamFile(file, produce), file);
}

ExportResult ArtworkExporter::exportSvg(const QString &file, bool separate, const ArtworkSvgWriter::Options &options)
{
    const ExportResult generated = regenerate(file, ExportLimits::Format::ArtworkSvg);
    if (!generated.ok())
        return generated;
    const ArtworkScene scene(m_generator);
    const ArtworkDrawing drawing(scene, m_generator.settings(), options.background);
    const ExportResult written = write(file, [&](ByteSink &out) { ArtworkSvgWriter::write(drawing, options, out); });
    if (!written.ok() || !separate)
        return written;
    // Each layer file is one layer of that same drawing, so the layers stack to the artwork.
    for (const ExportFileNames::Entry &entry : ExportFileNames::artworkSvgFiles(file).mid(1)) {
        const ExportResult layerWritten = write(
                entry.file, [&](ByteSink &out) { ArtworkSvgWriter::writeLayer(drawing, entry.layer, options, out); });
        if (!layerWritten.ok())
            return layerWritten;
    }
    return ExportResult::success();
}

ExportResult ArtworkExporter::exportPdf(const QString &file, QSizeF pageMm, bool background)
{
    const ExportResult generated = regenerate(file, ExportLimits::Format::Pdf);
    if (!generated.ok())
        return generated;
    const GeneratorSettings &settings = m_generator.settings();
    if (pageMm.isEmpty())
        pageMm = PrintSize::ofCanvas(settings.width, settings.height).millimetres();
    const ArtworkScene scene(m_generator);
    const ArtworkDrawing drawing(scene, settings, background);
    return write(file, [&](ByteSink &out) { ArtworkPdfWriter::write(drawing, pageMm, background, out); });
}
