// lumatrace export PARAMS.json OUT.(png|svg|bin) [--scale PERCENT] [--separate]:
// the plug-in's exportPNG, exportSVG and exportBIN on a parameter map.
#include "toolcommand.h"

#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "rendermetrics.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <signal.h>
#include <unistd.h>

namespace {

enum class Format { Png, Svg, Bin };

struct ExportRequest {
    QString parameters;
    QString file;
    Format format = Format::Png;
    float scalePercent = 100;
    bool hasScale = false;
    bool separate = false;
};

// The shell's status for a process ended by SIGINT.
constexpr int kExitInterrupted = 130;

const char kUsage[] = "usage: lumatrace export PARAMS.json OUT.png [--scale PERCENT] [--separate]\n"
                      "       lumatrace export PARAMS.json OUT.svg [--separate]\n"
                      "       lumatrace export PARAMS.json OUT.bin [--scale PERCENT]";

bool formatOf(const QString &file, Format *format)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("png"))
        *format = Format::Png;
    else if (suffix == QLatin1String("svg"))
        *format = Format::Svg;
    else if (suffix == QLatin1String("bin"))
        *format = Format::Bin;
    else
        return false;
    return true;
}

bool readOption(const QStringList &args, int *i, ExportRequest *request)
{
    const QString &arg = args.at(*i);
    if (arg == QLatin1String("--separate")) {
        request->separate = true;
        return true;
    }
    if (arg != QLatin1String("--scale") || *i + 1 >= args.size())
        return false;
    bool ok = false;
    request->scalePercent = args.at(++*i).toFloat(&ok);
    request->hasScale = true;
    return ok;
}

// Fills the request from the arguments; false on any usage error.
bool parseArguments(const QStringList &args, ExportRequest *request)
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
    if (positional.size() != 2 || !formatOf(positional.at(1), &request->format))
        return false;
    request->parameters = positional.at(0);
    request->file = positional.at(1);
    // SVG is always drawn at scale 1, and raw RGB has no layer files.
    if (request->format == Format::Svg && request->hasScale)
        return false;
    return !(request->format == Format::Bin && request->separate);
}

// Set by SIGINT during a raster export, read by the row progress: the export
// then stops after the band in hand and its file is discarded. A signal
// handler can only reach static storage.
volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

// Catches Ctrl-C for its lifetime and restores the previous handler.
class InterruptCatcher
{
public:
    InterruptCatcher()
    {
        interrupted = 0;
        struct sigaction action {
        };
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previous);
    }
    ~InterruptCatcher() { sigaction(SIGINT, &m_previous, nullptr); }

    InterruptCatcher(const InterruptCatcher &) = delete;
    InterruptCatcher &operator=(const InterruptCatcher &) = delete;

private:
    struct sigaction m_previous;
};

// Progress on standard error, once an export has run for a second and only
// when standard error is a terminal: a line per file and a percentage of the
// rows written, rewritten in place.
class ProgressReporter
{
public:
    ProgressReporter()
        : m_terminal(isatty(fileno(stderr)) != 0)
    {
        m_clock.start();
    }

    void file(int number, int count, const QString &file)
    {
        m_file = QStringLiteral("writing %1 of %2: %3").arg(number).arg(count).arg(file);
        if (m_shownPercent >= 0)
            std::fputs("\n", stderr);
        m_shownPercent = -1;
        if (m_terminal && m_clock.elapsed() > 1000)
            printError(m_file);
    }

    // False once Ctrl-C was pressed.
    bool rows(qint64 done, qint64 total)
    {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (m_terminal && m_clock.elapsed() > 1000 && percent != m_shownPercent) {
            std::fprintf(stderr, "\rlumatrace: %s: %3d %%", qPrintable(m_file), percent);
            std::fflush(stderr);
            m_shownPercent = percent;
        }
        return interrupted == 0;
    }

    // Ends the progress line, if one was shown.
    void end()
    {
        if (m_shownPercent >= 0)
            std::fputs("\n", stderr);
        m_shownPercent = -1;
    }

private:
    bool m_terminal;
    QElapsedTimer m_clock;
    QString m_file;
    int m_shownPercent = -1;
};

ExportResult runExport(CircuitExporter &exporter, const ExportRequest &request)
{
    switch (request.format) {
    case Format::Svg:
        return exporter.exportSvg(request.file, request.separate);
    case Format::Bin:
        return exporter.exportBin(request.file, request.scalePercent);
    case Format::Png:
        break;
    }
    return exporter.exportPng(request.file, request.scalePercent, request.separate);
}

// Whole megabytes, rounded up, so that a shortfall never reads as 0 MB.
qint64 megabytes(qint64 bytes)
{
    return (bytes + 999999) / 1000000;
}

QString failureMessage(const ExportResult &result, const GeneratorSettings &settings, float scalePercent)
{
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
    case ExportResult::None:
    case ExportResult::CanvasNotDrawable:
        break;
    }
    const RenderMetrics metrics(settings, scalePercent / 100);
    if (!metrics.hasPixels())
        return QStringLiteral("%1: nothing to draw: width %2 and height %3 at %4 % give no pixels")
                .arg(result.file)
                .arg(settings.width)
                .arg(settings.height)
                .arg(double(scalePercent));
    return QStringLiteral("%1: the canvas is too large: width %2 and height %3 at %4 % exceed the limit of %5 "
                          "pixels a side and %6 pixels (%7 Mpx) in all")
            .arg(result.file)
            .arg(settings.width)
            .arg(settings.height)
            .arg(double(scalePercent))
            .arg(RenderMetrics::kMaxBandedSide)
            .arg(RenderMetrics::kMaxBandedPixels)
            .arg(RenderMetrics::kMaxBandedPixels / 1000000);
}

int runExportCommand(const QStringList &args)
{
    ExportRequest request;
    if (!parseArguments(args, &request)) {
        printError(QString::fromLatin1(kUsage));
        return kExitBadInput;
    }
    QVariantMap parameters;
    if (!loadParameterMapOrReport(request.parameters, &parameters))
        return kExitBadInput;
    // Exactly the plug-in: updateGenerator reads the map, the export slot does the rest.
    CircuitGenerator generator;
    generator.readParameters(parameters);
    if (generator.gridSize().tooLarge) {
        printError(QStringLiteral("%1: the grid is too large: more than %2 cells")
                           .arg(request.parameters)
                           .arg(Circuit::kMaxCells));
        return kExitBadInput;
    }
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    ProgressReporter progress;
    exporter.setProgress(
            [&progress](int number, int count, const QString &file) { progress.file(number, count, file); });
    exporter.setRowProgress([&progress](qint64 done, qint64 total) { return progress.rows(done, total); });
    ExportResult result;
    if (request.format == Format::Svg) {
        result = runExport(exporter, request);
    } else {
        const InterruptCatcher catcher;
        result = runExport(exporter, request);
    }
    progress.end();
    if (result.ok())
        return kExitOk;
    if (result.failure == ExportResult::Cancelled) {
        printError(failureMessage(result, generator.settings(), request.scalePercent));
        return kExitInterrupted;
    }
    printError(failureMessage(result, generator.settings(), request.scalePercent));
    return kExitFailure;
}

} // namespace

const ToolCommand kExportCommand = {
        "export",
        "export PARAMS.json OUT [--scale PERCENT] [--separate]",
        "export the artwork as PNG, SVG or raw RGB (BIN), whole or by layer",
        "Reads PARAMS.json (\"-\" reads standard input) as the plug-in's updateGenerator does,\n"
        "then does exactly what the plug-in's exportPNG, exportSVG or exportBIN does: reseeds,\n"
        "regenerates, renders and writes. The format follows OUT's extension (any case):\n"
        "  OUT.png [--scale PERCENT] [--separate]   PNG at PERCENT % (default 100); with\n"
        "      --separate also BASE.wires.png, BASE.dots.png, BASE.components.png,\n"
        "      BASE.signals.png and BASE.dot_signals.png\n"
        "  OUT.svg [--separate]                     SVG; with --separate also BASE.wires.svg,\n"
        "      BASE.dots.svg, BASE.signals.svg and BASE.dot_signals.svg\n"
        "  OUT.bin [--scale PERCENT]                raw RGB bytes, rows top to bottom, no header\n"
        "BASE is OUT up to its last \".\" (out/art.png gives out/art; my.dir/art gives my).\n"
        "PNG and BIN files are rendered in bands and written as the bands finish, so any\n"
        "canvas up to 65535 pixels a side and 1000 Mpx in all is exported in bounded memory.\n"
        "Every file is written under a temporary name and renamed when complete: a failed or\n"
        "interrupted export never leaves a partial file or harms an existing one.\n"
        "Exit status 2: bad usage (another extension, --scale with SVG, --separate with BIN),\n"
        "an unreadable parameter file or a grid of more than 4194304 cells. Exit status 1: a\n"
        "file cannot be written (files written before it stay), the disk is full or has less\n"
        "free space than the file needs, or the canvas rounds to no pixels or exceeds 65535\n"
        "pixels a side or 1000000000 pixels in all. Exit status 130: Ctrl-C stopped a PNG or\n"
        "BIN export (the file being written is discarded).\n"
        "On a terminal a long export shows the file and the percentage of rows written.",
        runExportCommand,
};
