// lumatrace export PARAMS.json OUT.(png|svg|bin|pdf) [options]: the plug-in's exportPNG,
// exportSVG and exportBIN on a parameter map, and the print exports beside them.
#include "toolcommand.h"

#include "exportjob.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <signal.h>
#include <unistd.h>

namespace {

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

int runExportCommand(const QStringList &args)
{
    ExportJob job;
    ExportJob::Outcome refusal;
    if (!job.parse(args, &refusal)) {
        printError(refusal.message);
        return refusal.exitCode;
    }
    QVariantMap parameters;
    if (!loadParameterMapOrReport(job.parametersPath(), &parameters))
        return kExitBadInput;
    if (job.hasSeed())
        parameters.insert(QStringLiteral("seed"), job.seed());
    ProgressReporter progress;
    ExportJob::Hooks hooks;
    hooks.file = [&progress](int number, int count, const QString &file) {
        progress.file(number, count, file);
    };
    hooks.rows = [&progress](qint64 done, qint64 total) {
        return progress.rows(done, total);
    };
    ExportJob::Outcome outcome;
    if (!job.isRaster()) {
        outcome = job.run(parameters, job.file(), hooks);
    } else {
        const InterruptCatcher catcher;
        outcome = job.run(parameters, job.file(), hooks);
    }
    progress.end();
    if (outcome.exitCode != kExitOk)
        printError(outcome.message);
    return outcome.exitCode;
}

} // namespace

const ToolCommand kExportCommand = {
        "export",
        "export PARAMS.json OUT [--scale PERCENT | --paper NAME | --size WxH(mm|in)] [options]",
        "export the artwork as PNG, SVG, raw RGB (BIN), PDF or an animated loop, by scale or paper",
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
        "  OUT.pdf [--title TEXT]                   the artwork SVG's drawing as vector paths on one\n"
        "      page, centred and fitted; the page is the canvas at 96 dpi unless given. Each\n"
        "      layer is an optional content group; the title is TEXT, else PARAMS's name\n"
        "  OUT.svg|OUT.pdf --plotter [--pen MM] [--outlines]   what a pen plotter draws:\n"
        "      lines only, never a fill, no background, one layer per pen colour (wires and\n"
        "      pads, pad centres, glowing dots, signals, chips, chip pins; parts of one colour\n"
        "      share a layer), each ordered to keep the lifted pen's travel short. The pen is\n"
        "      MM wide (0.05 to 5, default 0.5): pads become spirals with their holes left\n"
        "      open, wires wider than the pen parallel passes (--outlines: their outline),\n"
        "      chips outlines with a hatch. Without a page the sheet is the canvas at 96 dpi.\n"
        "      scripts/pen_travel.py FILE.svg tells the travel and time layer by layer\n"
        "  OUT.mp4|webm|webp|gif [--frames N] [--fps F], OUT.png --frames N [--fps F]\n"
        "      a seamless loop of N frames (2 to 1000, default 48) at F frames a second (1 to\n"
        "      60, default 24): every signal travels once along its wire, the rest stands\n"
        "      still, and frame 0 is the PNG export's picture. MP4 is H.264 and WebM VP9,\n"
        "      both 4:2:0 colour, which needs even sides: an odd width or height gets one more\n"
        "      column or row, a copy of the last. WebP and PNG (animated PNG) are lossless,\n"
        "      GIF takes one palette from the whole loop; these keep the exact size. By\n"
        "      --scale or a page as PNG; at most 16383 pixels a side and 40 Mpx in all\n"
        "Print sizes (instead of --scale), and the seed:\n"
        "  --paper NAME      A5, A4, A3, A2, A1, A0, Letter, Legal or Tabloid (portrait)\n"
        "  --size WxH(mm|in) a custom page, for example 210x297mm or 11x17in\n"
        "  --landscape       the page with its longer side across\n"
        "  --seed N          use seed N instead of the map's seed\n"
        "  --dpi DPI         72 to 1200, for PNG, BIN and loops. With a page they render at\n"
        "      the largest scale that fits the page at DPI (default 300), keeping the\n"
        "      artwork's aspect and circuit. Every PNG records its resolution: DPI when\n"
        "      given, else 300 dpi for a page and 96 dpi otherwise. The artwork SVG gets\n"
        "      width and height in mm of the page (its viewBox stays in canvas pixels); the\n"
        "      PDF page is the page; neither takes --dpi.\n"
        "  --margin MM       with a page: the artwork fits inside MM of the page's edges\n"
        "      (0 to 100). A PNG or BIN is then the whole page at DPI, the background colour\n"
        "      around the artwork; an artwork SVG shows the whole page. Without --margin a\n"
        "      PNG or BIN is the artwork alone. Page PNGs are RGB, marked sRGB\n"
        "  --bleed MM        PDF: MM (0 to 25) of bleed around the page, the trim box the\n"
        "      page; the background covers the bleed and, without a margin, the artwork is\n"
        "      fitted to the bleed box (scaled, never stretched)\n"
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
        "BIN, PDF or a loop, --paper or --size with --scale or with the plain SVG), an unknown\n"
        "paper, a malformed or empty size, a DPI outside 72 to 1200, a margin, bleed or pen out\n"
        "of range, --pen or --outlines without --plotter, frames or a rate out of\n"
        "range, an unreadable parameter file or one larger than 64 MB, a grid of more than\n"
        "2097152 cells or over the SVG or PDF limit above, parameters beyond the generator's\n"
        "work budget or a used mask file that cannot be read. Exit status 1: a file cannot be\n"
        "written (files written before it stay), the disk is full or has less free space than\n"
        "the file needs, or the canvas has no pixels (for SVG and PDF: a width or height that\n"
        "is not positive) or exceeds 65535 pixels a side or 1000000000 pixels in all (a loop:\n"
        "the limits above). Exit status 130: Ctrl-C stopped a PNG, BIN or loop export (the file\n"
        "being written is discarded).\n"
        "Progress appears on standard error when it is a terminal and the export is long.",
        runExportCommand,
};
