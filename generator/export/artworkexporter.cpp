#include "artworkexporter.h"

#include "artworkdrawing.h"
#include "artworkpdfwriter.h"
#include "artworkscene.h"
#include "circuitgenerator.h"
#include "exportfilenames.h"
#include "exportwriter.h"
#include "printsize.h"
#include "rasterfilewriter.h"

ArtworkExporter::ArtworkExporter(CircuitGenerator &generator)
    : m_generator(generator)
{ }

ExportResult ArtworkExporter::regenerate(const QString &file)
{
    m_generator.resetSeed();
    m_generator.generateCircuit();
    if (!m_generator.lastError().isEmpty())
        return ExportResult::generationRefused(file);
    // A vector page still needs a canvas with an extent to fit and centre.
    if (m_generator.settings().width <= 0 || m_generator.settings().height <= 0)
        return ExportResult::canvasNotDrawable(file);
    return ExportResult::success();
}

ExportResult ArtworkExporter::write(const QString &file, const QByteArray &bytes)
{
    return RasterFileWriter::fileResult(ExportWriter::writeFile(file, bytes), file);
}

ExportResult ArtworkExporter::exportSvg(const QString &file, bool separate, const ArtworkSvgWriter::Options &options)
{
    const ExportResult generated = regenerate(file);
    if (!generated.ok())
        return generated;
    const ArtworkDrawing drawing(ArtworkScene(m_generator), m_generator.settings());
    const ExportResult written = write(file, ArtworkSvgWriter::document(drawing, options).toUtf8());
    if (!written.ok())
        return written;
    if (!separate)
        return ExportResult::success();
    // Each layer file is one layer of that same drawing, so the layers stack to the artwork.
    for (const ExportFileNames::Entry &entry : ExportFileNames::artworkSvgFiles(file).mid(1)) {
        const QString document = ArtworkSvgWriter::layerDocument(drawing, entry.layer, options);
        const ExportResult layerWritten = write(entry.file, document.toUtf8());
        if (!layerWritten.ok())
            return layerWritten;
    }
    return ExportResult::success();
}

ExportResult ArtworkExporter::exportPdf(const QString &file, QSizeF pageMm, bool background)
{
    const ExportResult generated = regenerate(file);
    if (!generated.ok())
        return generated;
    const GeneratorSettings &settings = m_generator.settings();
    if (pageMm.isEmpty())
        pageMm = PrintSize::ofCanvas(settings.width, settings.height).millimetres();
    const ArtworkDrawing drawing(ArtworkScene(m_generator), settings);
    return write(file, ArtworkPdfWriter::document(drawing, pageMm, background));
}
