#include "lumatrace.h"

#include "animationexporter.h"
#include "artworkexporter.h"
#include "artworkscene.h"
#include "circuitexporter.h"
#include "contactsheet.h"
#include "drawingbudget.h"
#include "exportfacts.h"
#include "pngparameterreader.h"
#include "pngstreamwriter.h"
#include "previewjob.h"
#include "printlayout.h"
#include "rendermetrics.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFontDatabase>
#include <QMimeData>
#include <QOpenGLContext>
#include <QQmlError>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

#include <algorithm>
#include <cmath>

namespace {
// Qt Quick aborts the process when its OpenGL scene graph finds no context (headless
// machines, remote desktops); the software scene graph draws the same scenes there.
void chooseSceneGraphBackend()
{
    static bool chosen = false;
    if (chosen)
        return;
    chosen = true;
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        return;
    QOpenGLContext probe;
    if (!probe.create())
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
}
} // namespace

namespace {
// The main preview's resource; thumbnails and variations use names of their own.
constexpr char kResultName[] = "lumatrace_result";
// The exact pixels of a region that a zoomed view shows over the whole canvas.
constexpr char kDetailName[] = "lumatrace_detail";
} // namespace

Lumatrace::Lumatrace(QObject *view)
    : OvexPlugin(view)
{
    // One preview at a time draws; a second thread lets the next start while a superseded
    // one runs on to its checkpoint.
    previewThreads.setMaxThreadCount(2);
}

Lumatrace::~Lumatrace()
{
    cancelPreview();
    previewThreads.waitForDone();
    delete viewer;
}

const char *Lumatrace::scriptName()
{
    return "llumatrace";
}

void Lumatrace::attach()
{
    OvexPlugin::attach();
    chooseSceneGraphBackend();
    viewer = new QQuickWidget;
    viewer->setResizeMode(QQuickWidget::SizeRootObjectToView);
    if (!view)
        return;
    qRegisterMetaType<QQuickWidget *>();
    const int id = view->property("widgetLastId").toInt();
    view->setProperty("widgetObj", QVariant::fromValue(viewer));
    view->setProperty("widgetLastId", id + 1);
    view->setProperty("work", QStringLiteral("register_widget"));
    Q_EMIT processWebViewSignal();
    viewerId = id + 1;
}

void Lumatrace::hello()
{
    if (view)
        view->page()->mainFrame()->evaluateJavaScript(QStringLiteral("alert('Lumatrace works!');"));
}

QVariantMap Lumatrace::generate(const QVariantMap &parameters)
{
    // Events processed during an export may call in; the export owns the generator.
    if (exporting)
        return QVariantMap();
    readParameters(parameters);
    generator.generateCircuit();
    return generator.resultMap();
}

void Lumatrace::generateImage(const QVariantMap &parameters)
{
    renderResult(parameters, 0, QLatin1String(kResultName));
}

void Lumatrace::generatePreview(const QVariantMap &parameters, int maxSide)
{
    generatePreview(parameters, maxSide, QLatin1String(kResultName));
}

void Lumatrace::generatePreview(const QVariantMap &parameters, int maxSide, const QString &name)
{
    renderResult(parameters, maxSide, name.isEmpty() ? QString::fromLatin1(kResultName) : name);
}

QVariantMap Lumatrace::readArtworkParameters(const QString &file)
{
    const PngParameterReader::Result read = PngParameterReader::read(file);
    exportRefusal = read.error;
    return read.parameters;
}

void Lumatrace::acceptFileDrops(const QStringList &suffixes)
{
    if (view && dropSuffixes.isEmpty())
        view->installEventFilter(this);
    dropSuffixes = suffixes;
}

bool Lumatrace::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched != view || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return OvexPlugin::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList files = droppedFiles(drop->mimeData());
    if (files.isEmpty())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        Q_EMIT filesDropped(files);
    return true;
}

QStringList Lumatrace::droppedFiles(const QMimeData *data) const
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        const QString path = url.toLocalFile();
        for (const QString &suffix : dropSuffixes) {
            if (!path.isEmpty() && path.endsWith(suffix, Qt::CaseInsensitive)) {
                files << path;
                break;
            }
        }
    }
    return files;
}

float Lumatrace::previewScale(const GeneratorSettings &settings, int maxSide)
{
    // The sides as the generator read them: page script may pass any number (1e308, NaN),
    // which the parameter table has already brought into range.
    const double longer = std::max(settings.width, settings.height);
    return maxSide > 0 && longer > maxSide ? float(maxSide / longer) : 1.0f;
}

int Lumatrace::requestPreview(const QVariantMap &parameters, double renderScale)
{
    return requestPreview(parameters, renderScale, QVariantMap());
}

QRect Lumatrace::regionOf(const QVariantMap &region, const GeneratorSettings &settings, float scale)
{
    const RenderMetrics metrics(settings, scale);
    const QRect canvas(0, 0, metrics.width(), metrics.height());
    // Page script may pass anything: numbers out of any range become an empty region.
    auto side = [&region](const char *key) {
        const double value = region.value(QLatin1String(key)).toDouble();
        return std::isfinite(value) ? int(std::clamp(value, -1e9, 1e9)) : 0;
    };
    const QRect asked(side("x"), side("y"), side("width"), side("height"));
    const QRect wanted = asked.isValid() ? asked & canvas : QRect();
    return wanted.isEmpty() ? QRect() : wanted;
}

int Lumatrace::requestPreview(const QVariantMap &parameters, double renderScale, const QVariantMap &region)
{
    if (exporting)
        return 0;
    cancelPreview();
    // Only while nothing was read since the last preview (a reloaded mask file among it) is
    // its circuit known to be the one these settings give.
    const bool untouched = lastCircuit.owner && generator.version() == lastCircuitVersion;
    readParameters(parameters);
    requestVersion = generator.version();
    PreviewJob::Generated reused;
    if (untouched && PreviewJob::sameCircuit(lastCircuit.owner->parameters(), parameters))
        reused = lastCircuit;
    const float scale = drawableScale(generator.settings(), renderScale);
    auto job = std::make_shared<PreviewJob>(generator, scale,
                                            spareRenderer ? std::move(spareRenderer)
                                                          : std::make_unique<CircuitRenderer>(),
                                            reused, regionOf(region, generator.settings(), scale));
    previewJob = job;
    const int id = ++lastPreviewId;
    streamsOwedTo = id;
    previewThreads.start([this, job, id] {
        job->run([this, job, id](const PreviewJob::Image &image) {
            QMetaObject::invokeMethod(
                    this, [this, job, id, image] { showPreviewStage(job, id, image); },
                    Qt::QueuedConnection);
        });
    });
    return id;
}

void Lumatrace::cancelPreview()
{
    if (previewJob)
        previewJob->cancel();
    previewJob.reset();
}

void Lumatrace::showPreviewStage(const std::shared_ptr<PreviewJob> &job, int id, const PreviewJob::Image &image)
{
    const bool exact = image.exact;
    // Cancelled here, on this thread, before this stage ran: never shown.
    if (job != previewJob || job->isCancelled())
        return;
    if (streamsOwedTo == id) {
        generator.streams().setStates(job->finalStates());
        streamsOwedTo = 0;
    }
    if (image.region) {
        detailBytes = std::make_unique<QByteArray>(image.png);
        handOff(detailBytes.get(), QLatin1String(kDetailName));
    } else {
        resultBytes = std::make_unique<QByteArray>(image.png);
        handOff(resultBytes.get(), QLatin1String(kResultName));
    }
    if (exact) {
        previewJob.reset();
        previewError = image.error;
        previewErrorVersion = generator.version();
        if (!spareRenderer)
            spareRenderer = job->takeRenderer();
        keepLoop(*job);
    }
    Q_EMIT previewReady(id, exact);
}

void Lumatrace::keepLoop(PreviewJob &job)
{
    // The loop's scene refers to the circuit: the old scene goes before the old circuit.
    // A refused preview has no loop to play, as after a synchronous one.
    previewLoop.keep(*job.generator(), job.takeScene(), job.renderScale());
    loopGenerator = job.generator();
    lastCircuit = job.generated();
    lastCircuitVersion = requestVersion;
}

float Lumatrace::drawableScale(const GeneratorSettings &settings, double scale)
{
    if (!(scale > 0) || !std::isfinite(scale))
        return 1.0f;
    const double width = std::max(1, settings.width);
    const double height = std::max(1, settings.height);
    const double longer = std::max(width, height);
    const double fitting = std::min(double(RenderMetrics::kMaxSide) / longer,
                                    std::sqrt(double(RenderMetrics::kMaxPixels) / (width * height)));
    // A little below the limits, which roundf may otherwise overshoot.
    return float(std::min(scale, fitting * 0.999));
}

void Lumatrace::renderResult(const QVariantMap &parameters, int maxSide, const QString &name)
{
    if (exporting)
        return;
    // Newer than any preview still being drawn: that one must not replace this.
    if (name == QLatin1String(kResultName))
        cancelPreview();
    resultBytes = std::make_unique<QByteArray>();
    readParameters(parameters);
    generator.generateCircuit();
    // A refused generation hands over no picture; the page reads the reason from lastError.
    if (!generator.lastError().isEmpty()) {
        handOff(resultBytes.get(), name);
        return;
    }
    auto kept = std::make_unique<ArtworkScene>(generator);
    const ArtworkScene &scene = *kept;
    const float renderScale = previewScale(generator.settings(), maxSide);
    // Refused like a generation: no picture, and the reason for lastError.
    exportRefusal = DrawingBudget::rasterRefusal(scene.circuit(), generator.settings(), renderScale);
    if (!exportRefusal.isEmpty()) {
        handOff(resultBytes.get(), name);
        return;
    }
    const QImage *image = renderer.render(scene, generator.settings(), renderScale, RenderLayer::Composite);
    // A canvas with no pixels, or one too large to draw, leaves nothing to show.
    if (!image)
        return;
    *resultBytes = shownPng(*image);
    handOff(resultBytes.get(), name);
    if (name == QLatin1String(kResultName)) {
        previewLoop.keep(generator, std::move(kept), renderScale);
        loopGenerator.reset();
        lastCircuit = PreviewJob::Generated();
    }
}

QByteArray Lumatrace::shownPng(const QImage &image)
{
    // The page shows this image at once and never keeps it: store it uncompressed.
    PngStreamWriter::Options options;
    options.stored = true;
    return PngStreamWriter::encode(image, options);
}

bool Lumatrace::previewLoopFrame(int frame, int frames)
{
    if (exporting)
        return false;
    const QImage *image = previewLoop.frame(loopSource(), frame, frames);
    if (!image)
        return false;
    loopBytes = std::make_unique<QByteArray>(shownPng(*image));
    handOff(loopBytes.get(), QStringLiteral("lumatrace_loop_frame"));
    return true;
}

bool Lumatrace::reportProgress(qint64 done, qint64 total)
{
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    if (percent != shownPercent) {
        shownPercent = percent;
        Q_EMIT exportProgress(percent);
    }
    // Lets the page repaint and deliver a click on its cancel button.
    QCoreApplication::processEvents();
    return !cancelRequested;
}

template<typename Export>
bool Lumatrace::runExport(Export exportCall)
{
    if (exporting)
        return false;
    exporting = true;
    cancelRequested = false;
    shownPercent = -1;
    const ExportResult result = exportCall();
    noteRefusal(result);
    exporting = false;
    return result.ok();
}

template<typename Export>
bool Lumatrace::runCircuitExport(Export exportCall)
{
    return runExport([&] {
        CircuitExporter exporter(ownGenerator(), renderer);
        exporter.setRowProgress([this](qint64 done, qint64 total) { return reportProgress(done, total); });
        return exportCall(exporter);
    });
}

bool Lumatrace::exportSVG(const QString &file, bool separate)
{
    return runCircuitExport([&](CircuitExporter &exporter) { return exporter.exportSvg(file, separate); });
}

bool Lumatrace::exportSVG(const QString &file)
{
    return exportSVG(file, false);
}

bool Lumatrace::exportPNG(const QString &file, float scale_percent, bool separate)
{
    return runCircuitExport([&](CircuitExporter &exporter) { return exporter.exportPng(file, scale_percent, separate); });
}

bool Lumatrace::exportPNGAt(const QString &file, float scale_percent, bool separate, float dpi)
{
    if (!PrintSize::isValidDpi(dpi))
        return false;
    return runCircuitExport([&](CircuitExporter &exporter) {
        exporter.setDpi(dpi);
        return exporter.exportPng(file, scale_percent, separate);
    });
}

bool Lumatrace::exportPNG(const QString &file, float scale_percent)
{
    return exportPNG(file, scale_percent, false);
}

bool Lumatrace::exportPNG(const QString &file)
{
    return exportPNG(file, 100.0f, false);
}

bool Lumatrace::exportBIN(const QString &file, float scale_percent)
{
    return runCircuitExport([&](CircuitExporter &exporter) { return exporter.exportBin(file, scale_percent); });
}

bool Lumatrace::exportBIN(const QString &file)
{
    return exportBIN(file, 100.0f);
}

bool Lumatrace::exportAnimation(const QString &file, const QVariantMap &options)
{
    AnimationExporter::Options loop;
    loop.frames = options.value(QStringLiteral("frames"), loop.frames).toInt();
    loop.fps = options.value(QStringLiteral("fps"), loop.fps).toInt();
    loop.scalePercent = options.value(QStringLiteral("scale"), loop.scalePercent).toFloat();
    return runExport([&] {
        AnimationExporter exporter(ownGenerator());
        exporter.setProgress([this](int done, int total) { return reportProgress(done, total); });
        return exporter.exportAnimation(file, loop);
    });
}

QString Lumatrace::layoutError(const PrintLayout &layout)
{
    if (!layout.hasValidDpi())
        return QStringLiteral("%1 dpi is outside %2 to %3").arg(layout.dpi()).arg(PrintSize::kMinDpi).arg(PrintSize::kMaxDpi);
    if (!layout.pageError().isEmpty())
        return layout.pageError();
    if (!layout.hasPage())
        return QStringLiteral("no paper or size given");
    return QString();
}

QVariantMap Lumatrace::printLayout(const QVariantMap &options)
{
    const PrintLayout layout = PrintLayout::fromOptions(options);
    const QString error = layoutError(layout);
    if (!error.isEmpty())
        return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
    const GeneratorSettings &s = generator.settings();
    const double percent = layout.fitScalePercent(s.width, s.height);
    const QSizeF artworkMm = QSizeF(s.width, s.height) * (percent / 100 / layout.dpi() * 25.4);
    QVariantMap facts {{QStringLiteral("ok"), true},
                       {QStringLiteral("scalePercent"), percent},
                       {QStringLiteral("width"), RenderMetrics::canvasSide(s.width, float(percent) / 100)},
                       {QStringLiteral("height"), RenderMetrics::canvasSide(s.height, float(percent) / 100)},
                       {QStringLiteral("widthMm"), layout.millimetres().width()},
                       {QStringLiteral("heightMm"), layout.millimetres().height()},
                       {QStringLiteral("artworkWidthMm"), artworkMm.width()},
                       {QStringLiteral("artworkHeightMm"), artworkMm.height()}};
    if (layout.hasMargin()) {
        const QSize sheet = layout.rasterGeometry(s.width, s.height).mediaPixels(layout.dpi());
        facts.insert(QStringLiteral("sheetWidth"), sheet.width());
        facts.insert(QStringLiteral("sheetHeight"), sheet.height());
    }
    return facts;
}

bool Lumatrace::exportPrintPNG(const QString &file, const QVariantMap &options)
{
    const PrintLayout layout = PrintLayout::fromOptions(options);
    const QString error = layoutError(layout);
    if (!error.isEmpty()) {
        exportRefusal = error;
        return false;
    }
    const GeneratorSettings &s = generator.settings();
    const float percent = float(layout.fitScalePercent(s.width, s.height));
    return runCircuitExport([&](CircuitExporter &exporter) {
        exporter.setDpi(layout.dpi());
        exporter.setPage(layout);
        return exporter.exportPng(file, percent, options.value(QStringLiteral("separate")).toBool());
    });
}

bool Lumatrace::exportContactSheet(const QString &file, const QVariantList &seeds)
{
    QVector<int> numbers;
    for (const QVariant &seed : seeds) {
        bool ok = false;
        const int number = seed.toInt(&ok);
        if (!ok || number < 0)
            return false;
        numbers.append(number);
    }
    if (numbers.isEmpty() || numbers.size() > ContactSheet::kMaxSeeds)
        return false;
    return ContactSheet(ownGenerator().parameters(), numbers).write(file) == ExportFile::Error::None;
}

QVariantMap Lumatrace::exportFacts()
{
    return ExportFacts::toVariant();
}

ArtworkExporter::Options Lumatrace::vectorOptions(const QVariantMap &options)
{
    ArtworkExporter::Options vector;
    vector.layout = PrintLayout::fromOptions(options);
    vector.background = options.value(QStringLiteral("background"), true).toBool();
    vector.separate = options.value(QStringLiteral("separate")).toBool();
    vector.plotter = options.value(QStringLiteral("plotter")).toBool();
    vector.penMm = options.value(QStringLiteral("pen"), ArtworkExporter::kDefaultPenMm).toDouble();
    vector.outlines = options.value(QStringLiteral("outlines")).toBool();
    vector.title = options.value(QStringLiteral("title")).toString();
    return vector;
}

bool Lumatrace::exportArtworkSVG(const QString &file, const QVariantMap &options)
{
    const ExportResult result = ArtworkExporter(ownGenerator()).exportSvg(file, vectorOptions(options));
    noteRefusal(result);
    return result.ok();
}

bool Lumatrace::exportPDF(const QString &file, const QVariantMap &options)
{
    const ExportResult result = ArtworkExporter(ownGenerator()).exportPdf(file, vectorOptions(options));
    noteRefusal(result);
    return result.ok();
}

void Lumatrace::cancelExport()
{
    if (exporting)
        cancelRequested = true;
}

void Lumatrace::updateGenerator(const QVariantMap &parameters)
{
    if (!exporting)
        readParameters(parameters);
}

void Lumatrace::resetSeed()
{
    if (!exporting)
        ownGenerator().resetSeed();
}

CircuitGenerator &Lumatrace::ownGenerator()
{
    streamsOwedTo = 0;
    return generator;
}

void Lumatrace::setQMLFile(const QString &path)
{
    if (viewer)
        viewer->setSource(QUrl::fromLocalFile(path));
}

int Lumatrace::getIdViewerWidget()
{
    return viewerId;
}

QVariantList Lumatrace::getViewerErrors()
{
    QVariantList errors;
    if (!viewer)
        return errors;
    const QList<QQmlError> qmlErrors = viewer->errors();
    for (const QQmlError &error : qmlErrors)
        errors << error.toString();
    return errors;
}

QVariantList Lumatrace::getFonts()
{
    QVariantList families;
    const QStringList names = QFontDatabase().families();
    for (const QString &name : names)
        families << name;
    return families;
}

QString Lumatrace::lastError()
{
    if (!exportRefusal.isEmpty())
        return exportRefusal;
    // After a preview drawn off the GUI thread, its copy of the generator generated.
    return generator.version() == previewErrorVersion ? previewError : generator.lastError();
}

void Lumatrace::noteRefusal(const ExportResult &result)
{
    // Every failure that comes with a reason in one line: limits, options, the encoder.
    exportRefusal = result.ok() ? QString() : result.reason;
}

void Lumatrace::readParameters(const QVariantMap &parameters)
{
    exportRefusal.clear();
    ownGenerator().readParameters(parameters);
    if (!generator.masks().fileMaskChanged())
        return;
    maskBytes = std::make_unique<QByteArray>(maskPng(generator.masks().fileMaskImage()));
    handOff(maskBytes.get(), QStringLiteral("lumatrace_mask_result"));
}

QByteArray Lumatrace::maskPng(const QImage &mask)
{
    // The page shows the grey mask as it is used; an unreadable file hands over nothing.
    QByteArray bytes;
    if (mask.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    mask.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

void Lumatrace::handOff(QByteArray *bytes, const QString &name)
{
    if (!view)
        return;
    view->setProperty("byte_array", QVariant::fromValue(static_cast<void *>(bytes)));
    view->setProperty("filename", name);
    view->setProperty("work", QStringLiteral("set_drc_data"));
    Q_EMIT processWebViewSignal();
}

