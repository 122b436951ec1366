// lumatrace export PARAMS.json OUT.(png|svg|bin) [--scale PERCENT] [--separate]:
// the plug-in's exportPNG, exportSVG and exportBIN on a parameter map.
#include "toolcommand.h"

#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "rendermetrics.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
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

// Progress lines on standard error, once an export has run for a second and
// only when standard error is a terminal.
class ProgressReporter
{
public:
    ProgressReporter()
        : m_terminal(isatty(fileno(stderr)) != 0)
    {
        m_clock.start();
    }

    void operator()(int number, int count, const QString &file) const
    {
        if (m_terminal && m_clock.elapsed() > 1000)
            printError(QStringLiteral("writing %1 of %2: %3").arg(number).arg(count).arg(file));
    }

private:
    bool m_terminal;
    QElapsedTimer m_clock;
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
    return QStringLiteral("%1: nothing to draw: width %2 and height %3 at %4 % give no pixels "
                          "or more than the limit of %5 pixels a side and %6 pixels in all")
            .arg(result.file)
            .arg(settings.width)
            .arg(settings.height)
            .arg(double(scalePercent))
            .arg(RenderMetrics::kMaxSide)
            .arg(RenderMetrics::kMaxPixels);
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
    exporter.setProgress(ProgressReporter());
    const ExportResult result = runExport(exporter, request);
    if (result.ok())
        return kExitOk;
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
        "Exit status 2: bad usage (another extension, --scale with SVG, --separate with BIN),\n"
        "an unreadable parameter file or a grid of more than 4194304 cells. Exit status 1: a\n"
        "file cannot be written (files written before it stay; a file is written under a\n"
        "temporary name and renamed when complete, so a failed or interrupted export never\n"
        "leaves a partial file or harms an existing one), or the canvas\n"
        "rounds to no pixels or exceeds 16384 pixels a side or 40000000 pixels in all.\n"
        "Progress appears on standard error when it is a terminal and the export is long.",
        runExportCommand,
};
