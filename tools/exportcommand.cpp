// lumatrace export PARAMS.json OUT.(png|svg|bin|pdf) [options]: the plug-in's exportPNG,
// exportSVG and exportBIN on a parameter map, and the print exports beside them.
#include "toolcommand.h"

#include "artworkexporter.h"
#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "printsize.h"
#include "rendermetrics.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <signal.h>
#include <unistd.h>

namespace {

enum class Format { Png, Svg, Bin, Pdf };

// Raster exports by paper and no --dpi print at this resolution.
constexpr double kDefaultPrintDpi = 300;

struct ExportRequest {
    QString parameters;
    QString file;
    Format format = Format::Png;
    float scalePercent = 100;
    bool hasScale = false;
    bool separate = false;
    QString paper;
    QString size;
    bool landscape = false;
    QString dpi; // empty: not given
    bool artwork = false;
    bool noBackground = false;
    QString seed; // replaces the map's seed when given

    bool hasPage() const { return !paper.isEmpty() || !size.isEmpty(); }
    bool isRaster() const { return format == Format::Png || format == Format::Bin; }
};

// The shell's status for a process ended by SIGINT.
constexpr int kExitInterrupted = 130;

const char kUsage[]
        = "usage: lumatrace export PARAMS.json OUT.png [--scale PERCENT | --paper NAME | --size WxH(mm|in)]\n"
          "                [--landscape] [--dpi DPI] [--separate]\n"
          "       lumatrace export PARAMS.json OUT.bin [--scale PERCENT | --paper ... | --size ...] [--dpi DPI]\n"
          "       lumatrace export PARAMS.json OUT.svg [--separate]\n"
          "       lumatrace export PARAMS.json OUT.svg --artwork [--paper ... | --size ...] [--landscape]\n"
          "                [--no-background] [--separate]\n"
          "       lumatrace export PARAMS.json OUT.pdf [--paper ... | --size ...] [--landscape] [--no-background]";

bool formatOf(const QString &file, Format *format)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("png"))
        *format = Format::Png;
    else if (suffix == QLatin1String("svg"))
        *format = Format::Svg;
    else if (suffix == QLatin1String("bin"))
        *format = Format::Bin;
    else if (suffix == QLatin1String("pdf"))
        *format = Format::Pdf;
    else
        return false;
    return true;
}

bool readFlag(const QString &arg, ExportRequest *request)
{
    const std::pair<const char *, bool ExportRequest::*> flags[] = {
            {"--separate", &ExportRequest::separate},
            {"--landscape", &ExportRequest::landscape},
            {"--artwork", &ExportRequest::artwork},
            {"--no-background", &ExportRequest::noBackground},
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
bool readValueOption(const QString &arg, const QString &value, ExportRequest *request)
{
    if (arg == QLatin1String("--paper"))
        request->paper = value;
    else if (arg == QLatin1String("--size"))
        request->size = value;
    else if (arg == QLatin1String("--dpi"))
        request->dpi = value;
    else if (arg == QLatin1String("--seed"))
        request->seed = value;
    else if (arg == QLatin1String("--scale")) {
        bool ok = false;
        request->scalePercent = value.toFloat(&ok);
        request->hasScale = true;
        return ok;
    } else
        return false;
    return !value.isEmpty();
}

bool readOption(const QStringList &args, int *i, ExportRequest *request)
{
    const QString &arg = args.at(*i);
    if (readFlag(arg, request))
        return true;
    if (*i + 1 >= args.size())
        return false;
    return readValueOption(arg, args.at(++*i), request);
}

// Which options go with which format; false for a combination that makes no sense.
bool optionsFit(const ExportRequest &r)
{
    if (r.hasPage() && (r.hasScale || (!r.paper.isEmpty() && !r.size.isEmpty())))
        return false;
    if (r.landscape && !r.hasPage())
        return false;
    if (!r.dpi.isEmpty() && !r.isRaster())
        return false;
    switch (r.format) {
    case Format::Png:
        return !r.artwork && !r.noBackground;
    case Format::Bin:
        return !r.artwork && !r.noBackground && !r.separate;
    case Format::Svg:
        // The plain document is always drawn at scale 1 and has no page.
        return r.artwork ? !r.hasScale : !(r.hasScale || r.hasPage() || r.noBackground);
    case Format::Pdf:
        break;
    }
    return !r.artwork && !r.separate && !r.hasScale;
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
    return optionsFit(*request);
}

// The page of --paper or --size; false with a one-line message for a bad value.
bool pageOf(const ExportRequest &request, PrintSize *page, QString *error)
{
    if (!request.paper.isEmpty())
        return PrintSize::fromPaper(request.paper, request.landscape, page, error);
    return PrintSize::fromText(request.size, request.landscape, page, error);
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

ExportResult runExport(CircuitExporter &exporter, ArtworkExporter &artwork, const ExportRequest &request,
                       const QSizeF &pageMm)
{
    switch (request.format) {
    case Format::Svg:
        if (request.artwork)
            return artwork.exportSvg(request.file, request.separate, {!request.noBackground, pageMm});
        return exporter.exportSvg(request.file, request.separate);
    case Format::Pdf:
        return artwork.exportPdf(request.file, pageMm, !request.noBackground);
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

QString failureMessage(const ExportResult &result, const GeneratorSettings &settings, const ExportRequest &request)
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
    case ExportResult::GenerationRefused:
    case ExportResult::GridTooLarge:
    case ExportResult::None:
    case ExportResult::CanvasNotDrawable:
        break;
    }
    if (request.format == Format::Svg || request.format == Format::Pdf)
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
    bool dpiOk = true;
    const double dpi = request.dpi.isEmpty() ? kDefaultPrintDpi : request.dpi.toDouble(&dpiOk);
    if (!dpiOk || !PrintSize::isValidDpi(dpi)) {
        printError(QStringLiteral("--dpi %1 is not a resolution from %2 to %3")
                           .arg(request.dpi)
                           .arg(PrintSize::kMinDpi)
                           .arg(PrintSize::kMaxDpi));
        return kExitBadInput;
    }
    PrintSize page;
    QString pageError;
    if (request.hasPage() && !pageOf(request, &page, &pageError)) {
        printError(pageError);
        return kExitBadInput;
    }
    bool seedOk = true;
    const int seed = request.seed.toInt(&seedOk);
    if (!request.seed.isEmpty() && !seedOk) {
        printError(QStringLiteral("--seed %1 is not a whole number").arg(request.seed));
        return kExitBadInput;
    }
    QVariantMap parameters;
    if (!loadParameterMapOrReport(request.parameters, &parameters))
        return kExitBadInput;
    if (!request.seed.isEmpty())
        parameters.insert(QStringLiteral("seed"), seed);
    // Exactly the plug-in: updateGenerator reads the map, the export slot does the rest.
    CircuitGenerator generator;
    generator.readParameters(parameters);
    if (generator.gridSize().tooLarge) {
        printError(QStringLiteral("%1: the grid is too large: more than %2 cells")
                           .arg(request.parameters)
                           .arg(Circuit::kMaxCells));
        return kExitBadInput;
    }
    const QSizeF pageMm = request.hasPage() ? page.millimetres() : QSizeF();
    if (request.hasPage() && request.isRaster()) {
        const GeneratorSettings &s = generator.settings();
        request.scalePercent = float(page.fitScalePercent(s.width, s.height, dpi));
    }
    CircuitRenderer renderer;
    CircuitExporter exporter(generator, renderer);
    ProgressReporter progress;
    exporter.setProgress(
            [&progress](int number, int count, const QString &file) { progress.file(number, count, file); });
    exporter.setRowProgress([&progress](qint64 done, qint64 total) { return progress.rows(done, total); });
    // The resolution actually used: the one asked for, the print default for a page, else a screen's.
    exporter.setDpi(!request.dpi.isEmpty() ? dpi : request.hasPage() ? kDefaultPrintDpi : PrintSize::kScreenDpi);
    ArtworkExporter artwork(generator);
    ExportResult result;
    if (!request.isRaster()) {
        result = runExport(exporter, artwork, request, pageMm);
    } else {
        const InterruptCatcher catcher;
        result = runExport(exporter, artwork, request, pageMm);
    }
    progress.end();
    if (result.ok())
        return kExitOk;
    if (result.failure == ExportResult::GenerationRefused || result.failure == ExportResult::GridTooLarge) {
        const QString reason = result.failure == ExportResult::GridTooLarge ? result.reason : generator.lastError();
        printError(request.parameters + QStringLiteral(": ") + reason);
        return kExitBadInput;
    }
    printError(failureMessage(result, generator.settings(), request));
    if (result.failure == ExportResult::Cancelled)
        return kExitInterrupted;
    return kExitFailure;
}

} // namespace

const ToolCommand kExportCommand = {
        "export",
        "export PARAMS.json OUT [--scale PERCENT | --paper NAME | --size WxH(mm|in)] [options]",
        "export the artwork as PNG, SVG, raw RGB (BIN) or PDF, whole or by layer, by scale or paper",
        "Reads PARAMS.json (\"-\" reads standard input) as the plug-in's updateGenerator does,\n"
        "then does exactly what the plug-in's exportPNG, exportSVG or exportBIN does: reseeds,\n"
        "regenerates, renders and writes. The format follows OUT's extension (any case):\n"
        "  OUT.png [--scale PERCENT] [--separate]   PNG at PERCENT % (default 100); with\n"
        "      --separate also BASE.wires.png, BASE.dots.png, BASE.components.png,\n"
        "      BASE.signals.png and BASE.dot_signals.png\n"
        "  OUT.svg [--separate]                     SVG; with --separate also BASE.wires.svg,\n"
        "      BASE.dots.svg, BASE.signals.svg and BASE.dot_signals.svg\n"
        "  OUT.bin [--scale PERCENT]                raw RGB bytes, rows top to bottom, no header\n"
        "  OUT.svg --artwork                        the artwork SVG: the SVG drawing plus the\n"
        "      chips, in the artwork's colours, each kind of element in a named layer group\n"
        "      (Background, Wires, Dots, Components, Dot signals, Signals) that vector editors\n"
        "      and plotter software show as layers; --no-background leaves the background out;\n"
        "      --separate also writes BASE.wires.svg ... BASE.dot_signals.svg (BASE.components.svg\n"
        "      too), one layer each on a transparent background\n"
        "  OUT.pdf                                  the artwork SVG's drawing as vector paths on one\n"
        "      page, centred and fitted; the page is the canvas at 96 dpi unless given\n"
        "Print sizes (instead of --scale), and the seed:\n"
        "  --paper NAME      A5, A4, A3, A2, A1, A0, Letter, Legal or Tabloid (portrait)\n"
        "  --size WxH(mm|in) a custom page, for example 210x297mm or 11x17in\n"
        "  --landscape       the page with its longer side across\n"
        "  --seed N          use seed N instead of the map's seed\n"
        "  --dpi DPI         72 to 1200. PNG and BIN with a page render at the largest scale\n"
        "      that fits the page at DPI (default 300), keeping the artwork's aspect and\n"
        "      circuit. Every PNG records its resolution: DPI when given, else 96 dpi. The\n"
        "      artwork SVG gets width and height in mm of the page (its viewBox stays in\n"
        "      canvas pixels); the PDF page is the page.\n"
        "The shadow, the glow blur and the vignette are raster effects: SVG and PDF files have\n"
        "no shadow or vignette, and glowing dots and signals are drawn solid.\n"
        "BASE is OUT up to its last \".\" (out/art.png gives out/art; my.dir/art gives my).\n"
        "PNG and BIN files are rendered in bands and written as the bands finish, so any\n"
        "canvas up to 65535 pixels a side and 1000 Mpx in all is exported in bounded memory.\n"
        "SVG and PDF files are written element by element as they are drawn, in bounded\n"
        "memory; so that each takes seconds, SVG and artwork SVG take grids of up to 1048576\n"
        "cells (1024 x 1024) and PDF up to 524288 cells (a cell is 20 x scale pixels).\n"
        "Every file is written under a temporary name and renamed when complete: a failed or\n"
        "interrupted export never leaves a partial file or harms an existing one.\n"
        "Exit status 2: bad usage (another extension, --scale with SVG or PDF, --separate with\n"
        "BIN or PDF, --paper or --size with --scale or with the plain SVG), an unknown paper, a\n"
        "malformed or empty size, a DPI outside 72 to 1200, an unreadable parameter file or one\n"
        "larger than 64 MB, a grid of more than 4194304 cells or over the SVG or PDF limit\n"
        "above, parameters beyond the generator's work budget or a used mask file that cannot\n"
        "be read. Exit status 1: a file cannot be written (files written before it stay), the\n"
        "disk is full or has less free space than the file needs, or the canvas has no pixels\n"
        "(for SVG and PDF: a width or height that is not positive) or exceeds 65535 pixels a\n"
        "side or 1000000000 pixels in all. Exit status 130: Ctrl-C stopped a PNG or BIN export\n"
        "(the file being written is discarded).\n"
        "Progress appears on standard error when it is a terminal and the export is long.",
        runExportCommand,
};
