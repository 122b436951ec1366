#include "artworkexporter.h"

#include "artworkdrawing.h"
#include "artworkpdfwriter.h"
#include "circuitgenerator.h"
#include "exportfilenames.h"
#include "exportwriter.h"
#include "printsize.h"

ArtworkExporter::ArtworkExporter(CircuitGenerator &generator)
    : m_generator(generator)
{ }

bool ArtworkExporter::regenerate()
{
    m_generator.resetSeed();
    m_generator.generateCircuit();
    // A vector page still needs a canvas with an extent to fit and centre.
    return m_generator.settings().width > 0 && m_generator.settings().height > 0;
}

ExportResult ArtworkExporter::exportSvg(const QString &file, bool separate, const ArtworkSvgWriter::Options &options)
{
    if (!regenerate())
        return ExportResult::canvasNotDrawable(file);
    const Circuit &circuit = *m_generator.circuit();
    const ArtworkDrawing composite(circuit, m_generator.settings());
    if (!ExportWriter::writeFile(file, ArtworkSvgWriter::document(composite, options).toUtf8()))
        return ExportResult::cannotOpen(file);
    if (!separate)
        return ExportResult::success();
    // As with the plain layer documents, the layers start from fresh streams and so agree
    // with each other.
    m_generator.resetSeed();
    const ArtworkDrawing layers(circuit, m_generator.settings());
    for (const ExportFileNames::Entry &entry : ExportFileNames::artworkSvgFiles(file).mid(1)) {
        const QString document = ArtworkSvgWriter::layerDocument(layers, entry.layer, options);
        if (!ExportWriter::writeFile(entry.file, document.toUtf8()))
            return ExportResult::cannotOpen(entry.file);
    }
    return ExportResult::success();
}

ExportResult ArtworkExporter::exportPdf(const QString &file, QSizeF pageMm, bool background)
{
    if (!regenerate())
        return ExportResult::canvasNotDrawable(file);
    const GeneratorSettings &settings = m_generator.settings();
    if (pageMm.isEmpty())
        pageMm = PrintSize::ofCanvas(settings.width, settings.height).millimetres();
    const ArtworkDrawing drawing(*m_generator.circuit(), settings);
    if (!ExportWriter::writeFile(file, ArtworkPdfWriter::document(drawing, pageMm, background)))
        return ExportResult::cannotOpen(file);
    return ExportResult::success();
}
