#pragma once

#include "circuitexporter.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "ovexplugin.h"
#include "artworkexporter.h"
#include "previewjob.h"
#include "previewloop.h"
#include "randomstreams.h"

#include <QByteArray>
#include <QStringList>
#include <QThreadPool>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

class QMimeData;
class QQuickWidget;

/// The generator plug-in object, reached by page script as `llumatrace`. A thin front
/// over the generator core: slots convert script values, call the core and hand images
/// and the viewer widget to the host.
class Lumatrace : public OvexPlugin
{
    Q_OBJECT

public:
    explicit Lumatrace(QObject *view);
    ~Lumatrace() override;

    const char *scriptName() override;
    /// Publishes the object, creates the viewer and registers it with the host.
    void attach() override;

Q_SIGNALS:
    /// During a PNG or BIN export: the share of rows written so far, 0 to 100, emitted
    /// when it changes. The page may call cancelExport() from its handler or from any
    /// event while the export runs; pending events are processed between bands.
    void exportProgress(int percent);
    /// The preview that requestPreview() numbered `id` is in the resource store as
    /// "lumatrace_result": a quick sketch with fewer pixels (`exact` false) or the exact
    /// image; the exact stage of a request for a region is "lumatrace_detail" instead.
    /// After a refused generation or drawing the exact stage hands over no image and
    /// lastError() says why.
    void previewReady(int id, bool exact);

public Q_SLOTS:
    void hello();
    QVariantMap generate(const QVariantMap &parameters);
    void generateImage(const QVariantMap &parameters);
    /// As generateImage, but drawn at the render scale that makes the longer side at most
    /// `maxSide` pixels (never enlarged): the same circuit, fewer pixels to draw.
    void generatePreview(const QVariantMap &parameters, int maxSide);
    /// The same, handed over under `name`, so thumbnails do not replace the preview.
    void generatePreview(const QVariantMap &parameters, int maxSide, const QString &name);
    /// Starts a preview of `parameters` and returns its id (from 1 up) at once; 0, doing
    /// nothing, while an export runs. The map is read now, as generateImage reads it; the
    /// circuit is generated and drawn on a worker thread at `renderScale` (1 draws every
    /// canvas pixel, less fewer, more a sharper zoomed view), brought within the largest
    /// canvas drawn whole. previewReady() announces the image: when the exact one would
    /// take long (more than a megapixel, or more than 4,000 wires) first a sketch of the
    /// same circuit, then the exact one, the same bytes as generatePreview gives. A newer request, generateImage or generatePreview under
    /// "lumatrace_result" supersedes it: its work stops and nothing more of it is shown.
    /// Once its image is shown the random streams stand where generateImage leaves them.
    int requestPreview(const QVariantMap &parameters, double renderScale);
    /// The same for a zoomed view that shows only part of a large canvas: `region`
    /// {x, y, width, height} in pixels of the canvas drawn at `renderScale`, cut to the
    /// canvas. The quick stage is then always the whole canvas with at most a megapixel,
    /// as "lumatrace_result"; the exact stage is only the region's pixels, the same as
    /// those of the whole exact image, as "lumatrace_detail". A region with nothing of
    /// the canvas in it asks for the whole canvas, as the call without one.
    int requestPreview(const QVariantMap &parameters, double renderScale, const QVariantMap &region);
    /// Stops the preview in progress, if any; nothing more of it is shown.
    void cancelPreview();
    /// Frame `frame` of a `frames`-frame loop (as exportAnimation writes) of the last preview
    /// that generateImage or generatePreview handed over as "lumatrace_result", at its size,
    /// handed over as "lumatrace_loop_frame": the signals travel, nothing is generated and no
    /// random number is drawn. False, handing over nothing, when the generator has read a map
    /// or generated since, or the numbers are out of range.
    bool previewLoopFrame(int frame, int frames);
    /// The parameter map a PNG written by the exporters carries; empty when it has none
    /// or it is refused (PngParameterReader), with the reason for lastError.
    QVariantMap readArtworkParameters(const QString &file);
    /// From now on, local files whose names end in one of `suffixes` (".png") dropped onto
    /// the page are announced by filesDropped instead of reaching the page: page script
    /// never sees a dropped file's path.
    void acceptFileDrops(const QStringList &suffixes);
    bool exportSVG(const QString &file, bool separate);
    bool exportSVG(const QString &file);
    bool exportPNG(const QString &file, float scale_percent, bool separate);
    bool exportPNG(const QString &file, float scale_percent);
    /// exportPNG recording `dpi` (72-1200) as the file's resolution; false for another dpi.
    bool exportPNGAt(const QString &file, float scale_percent, bool separate, float dpi);
    /// A PNG for print: the page of `options` as for printLayout ("paper" or "size",
    /// "landscape", "dpi", "separate"); with "margin" (millimetres) the whole sheet, the
    /// artwork fitted inside the margin on the background colour, else the artwork alone at
    /// the scale that fits the page. RGB, marked sRGB. False, writing nothing, for a layout
    /// that is not a page (lastError says why).
    bool exportPrintPNG(const QString &file, const QVariantMap &options);
    /// One PNG of labelled thumbnails of the stored map, one for each seed of `seeds` (whole
    /// numbers, at most ContactSheet::kMaxSeeds), as `lumatrace batch --contact-sheet`
    /// draws it. False, writing nothing, for no seeds, too many, or a file that cannot be
    /// written.
    bool exportContactSheet(const QString &file, const QVariantList &seeds);
    bool exportPNG(const QString &file);
    bool exportBIN(const QString &file, float scale_percent);
    bool exportBIN(const QString &file);
    /// Page and resolution of a print export for the stored canvas. `options`: "paper" (A5
    /// ... A0, Letter, Legal, Tabloid) or "size" ("210x297mm", "11x17in"), "landscape",
    /// "dpi" (72-1200, default 300), "margin" (millimetres: the artwork fits inside it and
    /// a PNG is the whole sheet). Returns {"ok", "error", "scalePercent", "width", "height"
    /// (the artwork's pixels at that scale), "widthMm", "heightMm" (the page),
    /// "artworkWidthMm", "artworkHeightMm" (the artwork on it), and with a margin
    /// "sheetWidth", "sheetHeight" (the whole sheet's pixels)}.
    QVariantMap printLayout(const QVariantMap &options);
    /// What the page needs to know of exports before asking for one, from the core: the
    /// largest raster canvas, the papers and resolutions of print exports and the suffixes
    /// of separate layer files (see ExportFacts).
    QVariantMap exportFacts();
    /// The artwork SVG: chips, named layers, the artwork's colours. `options`: "separate",
    /// "background" (default true), and a page as for printLayout for a physical size, with
    /// "margin" (millimetres; the document then shows the whole sheet). With "plotter" the
    /// drawing a pen plotter draws: lines only, one layer per pen, "pen" wide (millimetres,
    /// default 0.5), wires as "outlines" when asked.
    bool exportArtworkSVG(const QString &file, const QVariantMap &options);
    /// The artwork as vector paths on one PDF page: the page of `options` as for
    /// printLayout (default: the canvas at 96 dpi) with "margin" and "bleed" (millimetres),
    /// "background" (default true), "title", and "plotter", "pen", "outlines" as for
    /// exportArtworkSVG. Each layer is an optional content group.
    bool exportPDF(const QString &file, const QVariantMap &options);
    /// A seamless loop in which the signals travel along their wires, as the file's suffix
    /// says: ".mp4", ".webm", ".webp", ".gif" or ".png" (animated). `options`: "frames" (2 to
    /// 1000, default 48), "fps" (1 to 60, default 24), "scale" (percent, default 100). Progress
    /// and cancelExport as for the PNG export, by frames; false, writing nothing, for options
    /// out of range (lastError says which), a refused generation or a failed file.
    bool exportAnimation(const QString &file, const QVariantMap &options);
    void updateGenerator(const QVariantMap &parameters);
    void resetSeed();
    void setQMLFile(const QString &path);
    int getIdViewerWidget();
    QVariantList getViewerErrors();
    QVariantList getFonts();
    /// Why the last generation (by generate, generateImage or an export) was refused:
    /// the parameters exceed the generator's work budget or name a mask file that cannot
    /// be used; or why the last vector export refused the grid before generating, naming
    /// the format's limit in cells; or why the last image or export would draw too much
    /// (DrawingBudget), naming the key; or which option of the last loop export was out of
    /// range, or why its encoder failed. "" when it generated and drew.
    QString lastError();
    /// Stops the PNG, BIN or loop export in progress after its current band or frame; its slot then
    /// returns false and no file is left under the name being written.
    void cancelExport();
    /// Whether an export is in progress (the other slots leave the generator alone then).
    bool isExporting() const { return exporting; }

public:
    /// The states of the plug-in's one set of random streams, as the next draw finds them.
    RandomStreams::States randomStates() const { return streams.states(); }

Q_SIGNALS:
    /// Local files dropped onto the page, of the kinds acceptFileDrops asked for.
    void filesDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Emits exportProgress when the share changes and lets the page run; false once cancelled.
    bool reportProgress(qint64 done, qint64 total);
    /// Runs one export (a call giving its ExportResult) with the guard and progress state set.
    template<typename Export>
    bool runExport(Export exportCall);
    /// The same for a call on a CircuitExporter wired to exportProgress and cancelExport.
    template<typename Export>
    bool runCircuitExport(Export exportCall);
    /// The local files of a drag whose names end in one of dropSuffixes.
    QStringList droppedFiles(const QMimeData *data) const;
    /// Keeps an export's refusal of the grid or the drawing for lastError; any other
    /// outcome clears it.
    void noteRefusal(const ExportResult &result);
    /// The vector exports' options: a page as for printLayout with "margin" and "bleed"
    /// (millimetres), "background", "separate", "plotter", "pen" (millimetres), "outlines",
    /// "title".
    static ArtworkExporter::Options vectorOptions(const QVariantMap &options);
    /// Why a print layout is not a page to export to; empty when it is one.
    static QString layoutError(const PrintLayout &layout);
    /// Reads the map into the generator and hands a newly loaded file mask to the host.
    void readParameters(const QVariantMap &parameters);
    /// PNG bytes (32-bit ARGB) of the loaded file mask; empty for an unreadable file.
    static QByteArray maskPng(const QImage &mask);
    /// Hands `bytes` (owned here) to the host's resource store under `name`.
    void handOff(QByteArray *bytes, const QString &name);
    /// A preview image as the page loads it.
    static QByteArray shownPng(const QImage &image);
    /// Generates from `parameters` and hands the image, scaled down to fit maxSide pixels
    /// (0: at full size), to the host.
    void renderResult(const QVariantMap &parameters, int maxSide, const QString &name);
    /// The scale that brings the longer side of the canvas down to maxSide, never up.
    static float previewScale(const GeneratorSettings &settings, int maxSide);
    /// `scale`, reduced as far as the canvas must be to be drawn whole.
    static float drawableScale(const GeneratorSettings &settings, double scale);
    /// Hands a stage of the current preview job to the page; a superseded job's is dropped.
    void showPreviewStage(const std::shared_ptr<PreviewJob> &job, int id, const PreviewJob::Image &image);
    /// `region` as a rectangle of the canvas at `scale`, or a null one for the whole canvas.
    static QRect regionOf(const QVariantMap &region, const GeneratorSettings &settings, float scale);
    /// Keeps the circuit and scene of a finished preview job for its loop.
    void keepLoop(PreviewJob &job);
    /// The generator whose circuit the kept preview loop shows.
    const CircuitGenerator &loopSource() const { return loopGenerator ? *loopGenerator : generator; }
    /// The generator for a slot that reseeds or draws on the GUI thread: from then on the
    /// streams owe nothing to a preview still being drawn.
    CircuitGenerator &ownGenerator();

    /// The library's one set of random streams: page script relies on resetSeed and on
    /// the state they keep between calls.
    RandomStreams streams;
    CircuitGenerator generator {streams};
    CircuitRenderer renderer;
    std::unique_ptr<QByteArray> resultBytes;
    std::unique_ptr<QByteArray> detailBytes;
    std::unique_ptr<QByteArray> loopBytes;
    PreviewLoop previewLoop;
    std::unique_ptr<QByteArray> maskBytes;
    QQuickWidget *viewer = nullptr;
    int viewerId = 0;
    bool exporting = false;
    bool cancelRequested = false;
    int shownPercent = -1;
    QStringList dropSuffixes;
    QString exportRefusal;
    // The preview drawn off the GUI thread, and what it leaves behind.
    std::shared_ptr<PreviewJob> previewJob;
    int lastPreviewId = 0;
    // The request whose end states the streams take on when its image is shown; 0 once
    // anything else reseeded or drew.
    int streamsOwedTo = 0;
    std::unique_ptr<CircuitRenderer> spareRenderer;
    // The generator's version after the current request read its map.
    quint64 requestVersion = 0;
    // The circuit of the last preview shown: reusable while nothing else was read since,
    // and the one its loop plays.
    PreviewJob::Generated lastCircuit;
    quint64 lastCircuitVersion = 0;
    // The settings the kept preview loop draws with; lastCircuit holds its circuit.
    std::shared_ptr<const CircuitGenerator> loopGenerator;
    QString previewError;
    quint64 previewErrorVersion = ~quint64(0);
    // Last, so that it is gone (its threads joined) before what they use.
    QThreadPool previewThreads;
};
