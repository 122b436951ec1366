#include "artworkexporter.h"

#include "artworkdrawing.h"
#include "artworkpdfwriter.h"
#include "artworkscene.h"
#include "artworksvgwriter.h"
#include "bytesink.h"
#include "circuitgenerator.h"
#include "drawingbudget.h"
#include "exportfilenames.h"
#include "exportwriter.h"
#include "plotterdrawing.h"
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

QString ArtworkExporter::refusal(const Options &options)
{
    if (!options.layout.pageError().isEmpty())
        return options.layout.pageError();
    if (options.plotter && !(options.penMm >= kMinPenMm && options.penMm <= kMaxPenMm))
        return QStringLiteral("pen %1 mm is not a pen width from %2 to %3 mm").arg(options.penMm).arg(kMinPenMm).arg(kMaxPenMm);
    if (options.plotter && options.separate)
        return QStringLiteral("a plotter drawing keeps its pens as layers of one file; it has no separate layer files");
    return QString();
}

QString ArtworkExporter::plotterRefusal(const Options &options) const
{
    const GeneratorSettings &settings = m_generator.settings();
    if (!options.plotter || settings.width <= 0 || settings.height <= 0)
        return QString();
    const QRectF artwork = options.layout.geometry(settings.width, settings.height).artworkMm();
    const double areas = artwork.width() * artwork.height() / (options.penMm * options.penMm);
    if (areas <= kMaxPenAreas)
        return QString();
    return QStringLiteral("a plotter drawing of %1 x %2 mm with a %3 mm pen is too large: the artwork's area may "
                          "be at most %4 times the pen's width squared (a wider pen or a smaller page)")
            .arg(qRound(artwork.width()))
            .arg(qRound(artwork.height()))
            .arg(options.penMm)
            .arg(qint64(kMaxPenAreas));
}

std::unique_ptr<VectorDrawing> ArtworkExporter::drawingOf(const ArtworkScene &scene, const GeneratorSettings &settings,
                                                          const Options &options, const PageGeometry &geometry)
{
    if (!options.plotter)
        return std::make_unique<ArtworkDrawing>(scene, settings, options.background);
    PlotterDrawing::Options pen;
    pen.pen = options.penMm / geometry.mmPerPixel();
    pen.outlines = options.outlines;
    return std::make_unique<PlotterDrawing>(scene, settings, pen);
}

ExportResult ArtworkExporter::prepare(const QString &file, const Options &options, ExportLimits::Format format)
{
    if (!refusal(options).isEmpty())
        return ExportResult::withReason(ExportResult::OptionRefused, file, refusal(options));
    if (!plotterRefusal(options).isEmpty())
        return ExportResult::drawingRefused(file, plotterRefusal(options));
    return regenerate(file, options.plotter ? ExportLimits::Format::Plotter : format);
}

ExportResult ArtworkExporter::exportSvg(const QString &file, const Options &options)
{
    const ExportResult generated = prepare(file, options, ExportLimits::Format::ArtworkSvg);
    if (!generated.ok())
        return generated;
    const GeneratorSettings &settings = m_generator.settings();
    const PageGeometry geometry = options.layout.geometry(settings.width, settings.height);
    ArtworkSvgWriter::Options svg;
    svg.background = options.background && !options.plotter;
    // A pen's width means something only on paper: a plotter drawing always has a size.
    svg.physicalMm = options.layout.hasPage() || options.plotter ? geometry.mediaMm() : QSizeF();
    if (options.layout.hasMargin())
        svg.viewBox = geometry.mediaInCanvasPixels();
    const ArtworkScene scene(m_generator);
    const std::unique_ptr<VectorDrawing> drawing = drawingOf(scene, settings, options, geometry);
    const ExportResult written = write(file, [&](ByteSink &out) { ArtworkSvgWriter::write(*drawing, svg, out); });
    if (!written.ok() || !options.separate)
        return written;
    // Each layer file is one layer of that same drawing, so the layers stack to the artwork.
    for (const ExportFileNames::Entry &entry : ExportFileNames::artworkSvgFiles(file).mid(1)) {
        const ExportResult layerWritten
                = write(entry.file, [&](ByteSink &out) { ArtworkSvgWriter::writeLayer(*drawing, entry.layer, svg, out); });
        if (!layerWritten.ok())
            return layerWritten;
    }
    return ExportResult::success();
}

ExportResult ArtworkExporter::exportPdf(const QString &file, const Options &options)
{
    const ExportResult generated = prepare(file, options, ExportLimits::Format::Pdf);
    if (!generated.ok())
        return generated;
    const GeneratorSettings &settings = m_generator.settings();
    const ArtworkScene scene(m_generator);
    const ArtworkPdfWriter::Page page {options.layout.geometry(settings.width, settings.height),
                                       options.background && !options.plotter, options.title};
    const std::unique_ptr<VectorDrawing> drawing = drawingOf(scene, settings, options, page.geometry);
    return write(file, [&](ByteSink &out) { ArtworkPdfWriter::write(*drawing, page, out); });
}
