// ExportJob: one `lumatrace export` as a value. Its options are read and checked once; it
// then runs for any parameter map with a generator, random streams and renderer of its own,
// so that the batch command runs many at once on worker threads, each file byte for byte
// the one the export command writes.
#pragma once

#include "animationexporter.h"
#include "artworkexporter.h"
#include "printlayout.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class CircuitGenerator;

class ExportJob
{
public:
    struct Outcome {
        int exitCode = 0; // the tool's exit status
        QString message; // one line for standard error; empty on success
    };

    // What a run reports as it goes; every member may be left empty.
    struct Hooks {
        // Before each file: its number, the number of files and its name.
        std::function<void(int number, int count, const QString &file)> file;
        // After each band of a raster file: rows written and in all; false cancels.
        std::function<bool(qint64 done, qint64 total)> rows;
        // Threads of the renderer; 0 uses one per core.
        int renderThreads = 0;
    };

    // Reads the export command's arguments, PARAMS.json OUT [options]. False, with the
    // message and exit status to report, for bad usage or an option value out of range.
    bool parse(const QStringList &args, Outcome *refusal);

    const QString &parametersPath() const { return m_request.parameters; }
    const QString &file() const { return m_request.file; }
    // The seed of --seed, which replaces the map's when given.
    bool hasSeed() const { return !m_request.seed.isEmpty(); }
    int seed() const { return m_seed; }
    // PNG, BIN and animations: Ctrl-C can stop them between bands or frames.
    bool isRaster() const;

    // Writes the export of parameters to file (in place of OUT).
    Outcome run(const QVariantMap &parameters, const QString &file, const Hooks &hooks) const;

    enum class Format { Png, Svg, Bin, Pdf, Animation };

    struct Request {
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
        bool plotter = false;
        bool outlines = false;
        QString pen; // millimetres; empty: not given
        QString margin;
        QString bleed;
        QString title; // the PDF's; empty: the map file's name
        QString seed; // replaces the map's seed when given
        QString frames; // an animated loop's frames and rate; empty: not given
        QString fps;

        bool hasPage() const { return !paper.isEmpty() || !size.isEmpty(); }
        bool isRaster() const { return format == Format::Png || format == Format::Bin || format == Format::Animation; }
        bool isVector() const { return format == Format::Pdf || (format == Format::Svg && (artwork || plotter)); }
    };

private:
    // --frames and --fps of an animation; "" when they are fine, else the one line that says not.
    QString readLoopOptions();
    // --margin, --bleed and --pen; "" when they are fine, else the one line that says not.
    QString readSheetOptions();
    ExportResult runStillExport(CircuitGenerator &generator, const Request &request, const Hooks &hooks) const;
    static ExportResult runLoopExport(CircuitGenerator &generator, const Request &request,
                                      const AnimationExporter::Options &options, const Hooks &hooks);

    Request m_request;
    PrintLayout m_layout;
    ArtworkExporter::Options m_vector;
    int m_seed = 0;
    int m_frames = 48;
    int m_fps = 24;
};
