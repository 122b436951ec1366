#include "animationexporter.h"

#include "animationwriter.h"
#include "artworkscene.h"
#include "circuitgenerator.h"
#include "drawingbudget.h"
#include "loopframes.h"

namespace {

QString optionRefusal(const AnimationExporter::Options &options)
{
    if (options.frames < AnimationWriter::kMinFrames || options.frames > AnimationWriter::kMaxFrames)
        return QStringLiteral("a loop has %1 to %2 frames, not %3")
                .arg(AnimationWriter::kMinFrames)
                .arg(AnimationWriter::kMaxFrames)
                .arg(options.frames);
    if (options.fps < AnimationWriter::kMinFps || options.fps > AnimationWriter::kMaxFps)
        return QStringLiteral("a loop plays at %1 to %2 frames a second, not %3")
                .arg(AnimationWriter::kMinFps)
                .arg(AnimationWriter::kMaxFps)
                .arg(options.fps);
    return QString();
}

} // namespace

AnimationExporter::AnimationExporter(CircuitGenerator &generator)
    : m_generator(generator)
{ }

ExportResult AnimationExporter::exportAnimation(const QString &file, const Options &options)
{
    const QString refusal = optionRefusal(options);
    if (!refusal.isEmpty())
        return ExportResult::withReason(ExportResult::OptionRefused, file, refusal);
    m_generator.resetSeed();
    m_generator.generateCircuit();
    if (!m_generator.lastError().isEmpty())
        return ExportResult::generationRefused(file);
    const ArtworkScene scene(m_generator);
    const QString overBudget = DrawingBudget::rasterRefusal(scene.circuit(), m_generator.settings(),
                                                            options.scalePercent / 100);
    if (!overBudget.isEmpty())
        return ExportResult::drawingRefused(file, overBudget);
    LoopFrames loop(scene, m_generator.settings(), options.scalePercent / 100, options.frames);
    const QSize size = loop.size();
    if (!loop.isDrawable() || size.width() > AnimationWriter::kMaxSide || size.height() > AnimationWriter::kMaxSide)
        return ExportResult::canvasNotDrawable(file);

    AnimationWriter writer(file, size.width(), size.height(), options.fps, options.frames);
    const int passes = writer.needsPalettePass() ? 2 : 1;
    const int total = passes * options.frames;
    for (int pass = 0; pass < passes; ++pass) {
        const bool palette = pass + 1 < passes;
        for (int k = 0; k < options.frames; ++k) {
            const QImage &frame = loop.frame(k);
            if (frame.isNull())
                return ExportResult::canvasNotDrawable(file);
            const bool written = palette ? writer.addPaletteFrame(frame) : writer.writeFrame(frame);
            if (!written)
                return ExportResult::withReason(ExportResult::EncodingFailed, file, writer.error());
            if (m_progress && !m_progress(pass * options.frames + k + 1, total)) {
                writer.cancel();
                return ExportResult::failed(ExportResult::Cancelled, file);
            }
        }
    }
    if (!writer.finish())
        return ExportResult::withReason(ExportResult::EncodingFailed, file, writer.error());
    return ExportResult::success();
}
