#include "circuitexporter.h"

#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "exportfilenames.h"
#include "exportwriter.h"
#include "svgwriter.h"

namespace {

ExportResult fileResult(ExportFile::Error error, const QString &file)
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

void CircuitExporter::regenerate()
{
    m_generator.resetSeed();
    m_generator.generateCircuit();
}

void CircuitExporter::report(int number, int count, const QString &file) const
{
    if (m_progress)
        m_progress(number, count, file);
}

ExportResult CircuitExporter::exportSvg(const QString &file, bool separate)
{
    regenerate();
    const Circuit &circuit = *m_generator.circuit();
    const auto files = chosen(ExportFileNames::svgFiles(file), separate);
    for (int i = 0; i < files.size(); ++i) {
        report(i + 1, files.size(), files[i].file);
        // The composite uses the stream where generation left it; each layer
        // document starts from fresh streams, so the layers agree with each other.
        if (i > 0)
            m_generator.resetSeed();
        const QString document = SvgWriter::svgDocument(circuit, m_generator.settings(), files[i].layer);
        const ExportResult written
                = fileResult(ExportWriter::writeFile(files[i].file, document.toUtf8()), files[i].file);
        if (!written.ok())
            return written;
    }
    return ExportResult::success();
}

ExportResult CircuitExporter::exportPng(const QString &file, float scalePercent, bool separate)
{
    m_lastPng.clear();
    regenerate();
    const Circuit &circuit = *m_generator.circuit();
    const float renderScale = scalePercent / 100;
    const auto files = chosen(ExportFileNames::pngFiles(file), separate);
    for (int i = 0; i < files.size(); ++i) {
        report(i + 1, files.size(), files[i].file);
        if (i > 0)
            m_generator.resetSeed();
        const QImage *image = m_renderer.render(circuit, m_generator.settings(), renderScale, files[i].layer);
        if (!image)
            return ExportResult::canvasNotDrawable(files[i].file);
        m_lastPng = ExportWriter::encodePng(*image);
        const ExportResult written = fileResult(ExportWriter::writeFile(files[i].file, m_lastPng), files[i].file);
        if (!written.ok())
            return written;
    }
    return ExportResult::success();
}

ExportResult CircuitExporter::exportBin(const QString &file, float scalePercent)
{
    regenerate();
    report(1, 1, file);
    const QImage *image
            = m_renderer.render(*m_generator.circuit(), m_generator.settings(), scalePercent / 100, Composite);
    if (!image)
        return ExportResult::canvasNotDrawable(file);
    return fileResult(ExportWriter::writeBin(file, *image), file);
}
