#include "exportjob.h"

#include "seedlist.h"
#include "toolcommand.h"

#include "animationexporter.h"
#include "animationwriter.h"
#include "artworkexporter.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "rendermetrics.h"

#include <QFileInfo>

namespace {

// The shell's status for a process ended by SIGINT.
constexpr int kExitInterrupted = 130;

const char kUsage[] = "usage: lumatrace export PARAMS.json OUT.png\n"
                      "                [--scale PERCENT | --paper NAME | --size WxH(mm|in)]\n"
                      "                [--landscape] [--dpi DPI] [--margin MM] [--separate]\n"
                      "       lumatrace export PARAMS.json OUT.bin\n"
                      "                [--scale PERCENT | --paper ... | --size ...] [--dpi DPI]\n"
                      "                [--margin MM]\n"
                      "       lumatrace export PARAMS.json OUT.svg [--separate]\n"
                      "       lumatrace export PARAMS.json OUT.svg --artwork\n"
                      "                [--paper ... | --size ...] [--landscape] [--margin MM]\n"
                      "                [--no-background] [--separate]\n"
                      "       lumatrace export PARAMS.json OUT.pdf\n"
                      "                [--paper ... | --size ...] [--landscape] [--margin MM]\n"
                      "                [--bleed MM] [--title TEXT] [--no-background]\n"
                      "       lumatrace export PARAMS.json OUT.(svg|pdf) --plotter [--pen MM] [--outlines]\n"
                      "                [--paper ... | --size ...] [--landscape] [--margin MM]\n"
                      "       lumatrace export PARAMS.json OUT.(mp4|webm|webp|gif|png) --frames N\n"
                      "                [--fps F] [--scale PERCENT | --paper ... | --size ...] [--dpi DPI]";

// An animation format by its suffix, or a PNG with a frame count or rate: an animated PNG.
bool formatOf(const QString &file, ExportJob::Request *request)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    const bool loopOptions = !request->frames.isEmpty() || !request->fps.isEmpty();
    ExportJob::Format *format = &request->format;
    if (AnimationWriter::isAnimationFile(file) && (suffix != QLatin1String("png") || loopOptions))
        *format = ExportJob::Format::Animation;
    else if (suffix == QLatin1String("png"))
        *format = ExportJob::Format::Png;
    else if (suffix == QLatin1String("svg"))
        *format = ExportJob::Format::Svg;
    else if (suffix == QLatin1String("bin"))
        *format = ExportJob::Format::Bin;
    else if (suffix == QLatin1String("pdf"))
        *format = ExportJob::Format::Pdf;
    else
        return false;
    return true;
}

// An option's whole number within low .. high; an option not given keeps *value.
bool readWholeNumber(const QString &text, int low, int high, int *value)
{
    if (text.isEmpty())
        return true;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high)
        return false;
    *value = number;
    return true;
}

bool readFlag(const QString &arg, ExportJob::Request *request)
{
    const std::pair<const char *, bool ExportJob::Request::*> flags[] = {
            {"--separate", &ExportJob::Request::separate},
            {"--landscape", &ExportJob::Request::landscape},
            {"--artwork", &ExportJob::Request::artwork},
            {"--no-background", &ExportJob::Request::noBackground},
            {"--plotter", &ExportJob::Request::plotter},
            {"--outlines", &ExportJob::Request::outlines},
    };
    for (const auto &flag : flags) {
        if (arg == QLatin1String(flag.first)) {
            request->*flag.second = true;
            return true;
        }
    }
    return false;
}

// Options with a value; a number that does not parse is left to the checks after parsing.
bool readValueOption(const QString &arg, const QString &value, ExportJob::Request *request)
{
    if (arg == QLatin1String("--paper"))
        request->paper = value;
    else if (arg == QLatin1String("--size"))
        request->size = value;
    else if (arg == QLatin1String("--dpi"))
        request->dpi = value;
    else if (arg == QLatin1String("--seed"))
        request->seed = value;
    else if (arg == QLatin1String("--frames"))
        request->frames = value;
    else if (arg == QLatin1String("--fps"))
        request->fps = value;
    else if (arg == QLatin1String("--pen"))
        request->pen = value;
    else if (arg == QLatin1String("--margin"))
        request->margin = value;
    else if (arg == QLatin1String("--bleed"))
        request->bleed = value;
    else if (arg == QLatin1String("--title"))
        request->title = value;
    else if (arg == QLatin1String("--scale")) {
        bool ok = false;
        request->scalePercent = value.toFloat(&ok);
        request->hasScale = true;
        return ok;
    } else
        return false;
    return !value.isEmpty();
}

bool readOption(const QStringList &args, int *i, ExportJob::Request *request)
{
    const QString &arg = args.at(*i);
    if (readFlag(arg, request))
        return true;
    if (*i + 1 >= args.size())
        return false;
    return readValueOption(arg, args.at(++*i), request);
}

// Which options go with which format; false for a combination that makes no sense.
bool optionsFit(const ExportJob::Request &r)
{
    if (r.hasPage() && (r.hasScale || (!r.paper.isEmpty() && !r.size.isEmpty())))
        return false;
    if (r.landscape && !r.hasPage())
        return false;
    if (!r.dpi.isEmpty() && !r.isRaster())
        return false;
    if ((!r.frames.isEmpty() || !r.fps.isEmpty()) && r.format != ExportJob::Format::Animation)
        return false;
    // A pen belongs to a plotter drawing, a bleed to a PDF page, a margin to a page.
    if ((!r.pen.isEmpty() || r.outlines) && !r.plotter)
        return false;
    if ((!r.bleed.isEmpty() || !r.title.isEmpty()) && r.format != ExportJob::Format::Pdf)
        return false;
    if (!r.margin.isEmpty() && !r.isVector() && !(r.hasPage() && (r.format == ExportJob::Format::Png || r.format == ExportJob::Format::Bin)))
        return false;
    if (r.plotter && (r.format != ExportJob::Format::Svg && r.format != ExportJob::Format::Pdf))
        return false;
    switch (r.format) {
    case ExportJob::Format::Png:
        return !r.artwork && !r.noBackground;
    case ExportJob::Format::Bin:
        return !r.artwork && !r.noBackground && !r.separate;
    case ExportJob::Format::Svg:
        // The plain document is always drawn at scale 1 and has no page.
        return r.isVector() ? !r.hasScale : !(r.hasScale || r.hasPage() || r.noBackground);
    case ExportJob::Format::Animation:
        return !r.artwork && !r.noBackground && !r.separate;
    case ExportJob::Format::Pdf:
        break;
    }
    return !r.artwork && !r.separate && !r.hasScale;
}

// Fills the request from the arguments; false on any usage error.
bool parseArguments(const QStringList &args, ExportJob::Request *request)
{
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg.startsWith(QLatin1String("--"))) {
            if (!readOption(args, &i, request))
                return false;
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 2 || !formatOf(positional.at(1), request))
        return false;
    request->parameters = positional.at(0);
    request->file = positional.at(1);
    return optionsFit(*request);
}

// A resolution given to a vector export is a slip worth naming, not a reason for the usage.
QString misplacedResolution(const ExportJob::Request &r)
{
    const bool vector = r.format == ExportJob::Format::Svg || r.format == ExportJob::Format::Pdf;
    if (r.dpi.isEmpty() || r.file.isEmpty() || !vector)
        return QString();
    return QStringLiteral("--dpi %1: %2 is drawn as vectors; --dpi is for PNG, BIN and loops, and a page "
                          "is given by --paper or --size")
            .arg(r.dpi, r.file);
}

ExportResult runExport(CircuitExporter &exporter, ArtworkExporter &artwork, const ExportJob::Request &request,
                       const ArtworkExporter::Options &vector)
{
    switch (request.format) {
    case ExportJob::Format::Animation:
        break; // run by ExportJob::run itself
    case ExportJob::Format::Svg:
        if (request.isVector())
            return artwork.exportSvg(request.file, vector);
        return exporter.exportSvg(request.file, request.separate);
    case ExportJob::Format::Pdf:
        return artwork.exportPdf(request.file, vector);
    case ExportJob::Format::Bin:
        return exporter.exportBin(request.file, request.scalePercent);
    case ExportJob::Format::Png:
        break;
    }
    return exporter.exportPng(request.file, request.scalePercent, request.separate);
}

// Whole megabytes, rounded up, so that a shortfall never reads as 0 MB.
qint64 megabytes(qint64 bytes)
{
    return (bytes + 999999) / 1000000;
}

QString failureMessage(const ExportResult &result, const GeneratorSettings &settings, const ExportJob::Request &request)
{
    const float scalePercent = request.scalePercent;
    switch (result.failure) {
    case ExportResult::CannotOpenFile:
        return QStringLiteral("%1: cannot open the file for writing").arg(result.file);
    case ExportResult::CannotWriteFile:
        return QStringLiteral("%1: writing the file failed; nothing was written under this name").arg(result.file);
    case ExportResult::DiskFull:
        return QStringLiteral("%1: the disk is full; nothing was written under this name").arg(result.file);
    case ExportResult::NotEnoughSpace:
        return QStringLiteral("%1: not enough free disk space: the file needs about %2 MB, %3 MB are free")
                .arg(result.file)
                .arg(megabytes(result.bytesNeeded))
                .arg(megabytes(result.bytesFree));
    case ExportResult::Cancelled:
        return QStringLiteral("%1: cancelled; nothing was written under this name").arg(result.file);
    case ExportResult::EncodingFailed:
        return QStringLiteral("%1: %2; nothing was written under this name").arg(result.file, result.reason);
    case ExportResult::GenerationRefused:
    case ExportResult::GridTooLarge:
    case ExportResult::DrawingRefused:
    case ExportResult::OptionRefused:
    case ExportResult::None:
    case ExportResult::CanvasNotDrawable:
        break;
    }
    if (request.format == ExportJob::Format::Svg || request.format == ExportJob::Format::Pdf)
        return QStringLiteral("%1: nothing to draw: width %2 and height %3 give no canvas")
                .arg(result.file)
                .arg(settings.width)
                .arg(settings.height);
    const RenderMetrics metrics(settings, scalePercent / 100);
    if (!metrics.hasPixels())
        return QStringLiteral("%1: nothing to draw: width %2 and height %3 at %4 % give no pixels")
                .arg(result.file)
                .arg(settings.width)
                .arg(settings.height)
                .arg(double(scalePercent));
    // A loop is drawn whole, within the smaller limits of its formats; the other rasters in bands.
    const bool loop = request.format == ExportJob::Format::Animation;
    const long long pixels = loop ? RenderMetrics::kMaxPixels : RenderMetrics::kMaxBandedPixels;
    return QStringLiteral("%1: the canvas is too large%2: width %3 and height %4 at %5 % exceed the limit of %6 "
                          "pixels a side and %7 pixels (%8 Mpx) in all")
            .arg(result.file, loop ? QStringLiteral(" for a loop") : QString())
            .arg(settings.width)
            .arg(settings.height)
            .arg(double(scalePercent))
            .arg(loop ? AnimationWriter::kMaxSide : RenderMetrics::kMaxBandedSide)
            .arg(pixels)
            .arg(pixels / 1000000);
}

} // namespace

bool ExportJob::isRaster() const
{
    return m_request.isRaster();
}

bool ExportJob::parse(const QStringList &args, Outcome *refusal)
{
    if (!parseArguments(args, &m_request)) {
        const QString misplaced = misplacedResolution(m_request);
        *refusal = {kExitBadInput, misplaced.isEmpty() ? QString::fromLatin1(kUsage) : misplaced};
        return false;
    }
    m_layout = PrintLayout(m_request.paper, m_request.size, m_request.landscape,
                           m_request.dpi.isEmpty() ? PrintLayout::kDefaultDpi : m_request.dpi.toDouble());
    if (!m_layout.hasValidDpi()) {
        *refusal = {kExitBadInput,
                    QStringLiteral("--dpi %1 is not a resolution from %2 to %3")
                            .arg(m_request.dpi)
                            .arg(PrintSize::kMinDpi)
                            .arg(PrintSize::kMaxDpi)};
        return false;
    }
    if (!m_layout.pageError().isEmpty()) {
        *refusal = {kExitBadInput, m_layout.pageError()};
        return false;
    }
    // The seeds batch takes, with its message: a negative seed is as much a mistake here.
    QString seedError;
    if (hasSeed() && !SeedList::parseSeed(m_request.seed, &m_seed, &seedError)) {
        *refusal = {kExitBadInput, seedError};
        return false;
    }
    const QString loopError = readLoopOptions();
    if (!loopError.isEmpty()) {
        *refusal = {kExitBadInput, loopError};
        return false;
    }
    const QString sheetError = readSheetOptions();
    if (!sheetError.isEmpty()) {
        *refusal = {kExitBadInput, sheetError};
        return false;
    }
    return true;
}

QString ExportJob::readSheetOptions()
{
    if (!m_request.margin.isEmpty())
        m_layout.setMargin(m_request.margin);
    if (!m_request.bleed.isEmpty())
        m_layout.setBleed(m_request.bleed);
    m_vector.layout = m_layout;
    m_vector.background = !m_request.noBackground;
    m_vector.separate = m_request.separate;
    m_vector.plotter = m_request.plotter;
    m_vector.outlines = m_request.outlines;
    bool ok = true;
    if (!m_request.pen.isEmpty())
        m_vector.penMm = m_request.pen.toDouble(&ok);
    if (!ok)
        return QStringLiteral("pen \"%1\" is not a width in millimetres").arg(m_request.pen);
    m_vector.title = m_request.title.isEmpty() ? QFileInfo(m_request.parameters).completeBaseName() : m_request.title;
    return ArtworkExporter::refusal(m_vector);
}

QString ExportJob::readLoopOptions()
{
    if (!readWholeNumber(m_request.frames, AnimationWriter::kMinFrames, AnimationWriter::kMaxFrames, &m_frames))
        return QStringLiteral("--frames %1 is not a frame count from %2 to %3")
                .arg(m_request.frames)
                .arg(AnimationWriter::kMinFrames)
                .arg(AnimationWriter::kMaxFrames);
    if (!readWholeNumber(m_request.fps, AnimationWriter::kMinFps, AnimationWriter::kMaxFps, &m_fps))
        return QStringLiteral("--fps %1 is not a rate from %2 to %3 frames a second")
                .arg(m_request.fps)
                .arg(AnimationWriter::kMinFps)
                .arg(AnimationWriter::kMaxFps);
    return QString();
}

ExportJob::Outcome ExportJob::run(const QVariantMap &parameters, const QString &file, const Hooks &hooks) const
{
    // Exactly the plug-in: updateGenerator reads the map, the export slot does the rest.
    CircuitGenerator generator;
    generator.readParameters(parameters);
    if (generator.gridSize().tooLarge)
        return {kExitBadInput,
                QStringLiteral("%1: the grid is too large: more than %2 cells")
                        .arg(m_request.parameters)
                        .arg(Circuit::kMaxCells)};
    Request request = m_request;
    request.file = file;
    if (m_layout.hasPage() && request.isRaster()) {
        const GeneratorSettings &s = generator.settings();
        request.scalePercent = float(m_layout.fitScalePercent(s.width, s.height));
    }
    const ExportResult result = request.format == Format::Animation
            ? runLoopExport(generator, request, {m_frames, m_fps, request.scalePercent}, hooks)
            : runStillExport(generator, request, hooks);
    if (result.ok())
        return {};
    if (result.failure == ExportResult::GenerationRefused)
        return {kExitBadInput, request.parameters + QStringLiteral(": ") + generator.lastError()};
    if (result.failure == ExportResult::GridTooLarge || result.failure == ExportResult::DrawingRefused
        || result.failure == ExportResult::OptionRefused)
        return {kExitBadInput, request.parameters + QStringLiteral(": ") + result.reason};
    return {result.failure == ExportResult::Cancelled ? kExitInterrupted : kExitFailure,
            failureMessage(result, generator.settings(), request)};
}

ExportResult ExportJob::runStillExport(CircuitGenerator &generator, const Request &request, const Hooks &hooks) const
{
    CircuitRenderer renderer;
    renderer.setThreadCount(hooks.renderThreads);
    CircuitExporter exporter(generator, renderer);
    if (hooks.file)
        exporter.setProgress(hooks.file);
    if (hooks.rows)
        exporter.setRowProgress(hooks.rows);
    // The resolution actually used: the one asked for, the print default for a page, else a screen's.
    exporter.setDpi(!request.dpi.isEmpty() || m_layout.hasPage() ? m_layout.dpi() : PrintSize::kScreenDpi);
    exporter.setPage(m_layout);
    ArtworkExporter artwork(generator);
    return runExport(exporter, artwork, request, m_vector);
}

ExportResult ExportJob::runLoopExport(CircuitGenerator &generator, const Request &request,
                                      const AnimationExporter::Options &options, const Hooks &hooks)
{
    AnimationExporter exporter(generator);
    if (hooks.file)
        hooks.file(1, 1, request.file);
    if (hooks.rows)
        exporter.setProgress([&hooks](int done, int total) { return hooks.rows(done, total); });
    return exporter.exportAnimation(request.file, options);
}

