#include "previewjob.h"

#include "artworkscene.h"
#include "circuitgenerator.h"
#include "circuitrenderer.h"
#include "circuitsketch.h"
#include "drawingbudget.h"
#include "pngstreamwriter.h"
#include "rendermetrics.h"

#include <cmath>

namespace {
// Keys that only the drawing reads; generation never looks at them.
const char *const kDrawingKeys[] = {"wire_thickness", "dot_size",       "hole_size",           "inside_hole_size",
                                    "wire_roundness", "bg_color",       "wire_color",          "inside_hole_color",
                                    "signal_color",   "signal_glowing", "glowing_dots_amount", "vignetting",
                                    "wire_shadow"};

QVariantMap withoutDrawingKeys(QVariantMap map)
{
    for (const char *key : kDrawingKeys)
        map.remove(QLatin1String(key));
    return map;
}

// The page shows these images at once and never keeps them: stored uncompressed.
PngStreamWriter::Options storedPng()
{
    PngStreamWriter::Options options;
    options.stored = true;
    return options;
}
} // namespace

PreviewJob::PreviewJob(const CircuitGenerator &source, float renderScale, std::unique_ptr<CircuitRenderer> renderer,
                       Generated reused, const QRect &region)
    : m_generator(std::make_shared<CircuitGenerator>())
    , m_generated(std::move(reused))
    , m_renderer(std::move(renderer))
    , m_renderScale(renderScale)
    , m_region(region)
{
    m_generator->copyStateOf(source);
}

bool PreviewJob::sameCircuit(const QVariantMap &a, const QVariantMap &b)
{
    return withoutDrawingKeys(a) == withoutDrawingKeys(b);
}

PreviewJob::~PreviewJob() = default;

float PreviewJob::quickScale(int width, int height, float renderScale)
{
    const double pixels
            = double(RenderMetrics::canvasSide(width, renderScale)) * RenderMetrics::canvasSide(height, renderScale);
    if (pixels <= double(kQuickPixels))
        return renderScale;
    return float(renderScale * std::sqrt(double(kQuickPixels) / pixels));
}

bool PreviewJob::wantsSketch() const
{
    // A region is shown over the whole canvas, which the sketch draws.
    if (!m_region.isNull())
        return true;
    const RenderMetrics metrics(m_generator->settings(), m_renderScale);
    return qint64(metrics.width()) * metrics.height() > kQuickThreshold
            || m_scene->circuit().wires().size() > kSketchWires;
}

void PreviewJob::run(const Deliver &deliver)
{
    if (!generate())
        return;
    // A refused generation chooses nothing more, as in a synchronous preview.
    if (!m_generated.owner->lastError().isEmpty())
        return finish(deliver, m_generated.owner->lastError());
    // The artwork's random parts come right after generating; the plug-in's streams end
    // where these do.
    m_scene = std::make_unique<ArtworkScene>(*m_generated.owner->circuit(), m_generator->settings(),
                                             m_generator->streams().stream(StreamSignal));
    const QString refusal = DrawingBudget::rasterRefusal(m_scene->circuit(), m_generator->settings(), m_renderScale);
    if (!refusal.isEmpty())
        return finish(deliver, refusal);
    if (m_cancelled)
        return;
    m_finalStates = m_generator->streams().states();
    if (wantsSketch()) {
        const QByteArray png = sketch();
        if (m_cancelled)
            return;
        deliver({png, QString(), false});
    }
    const QByteArray png = draw(m_renderScale, m_region);
    if (!m_cancelled)
        deliver({png, QString(), true, !m_region.isNull()});
}

bool PreviewJob::generate()
{
    if (m_cancelled)
        return false;
    if (m_generated.owner) {
        m_generator->streams().setStates(m_generated.states);
        return true;
    }
    m_generator->generateCircuit();
    m_generated = {m_generator, m_generator->streams().states()};
    return !m_cancelled;
}

void PreviewJob::finish(const Deliver &deliver, const QString &refusal)
{
    m_finalStates = m_generator->streams().states();
    m_scene.reset();
    m_generated.owner.reset();
    if (!m_cancelled)
        deliver({QByteArray(), refusal, true});
}

QByteArray PreviewJob::draw(float scale, const QRect &region)
{
    const RenderMetrics metrics(m_generator->settings(), scale);
    // A canvas with no pixels, or too large to draw whole, leaves nothing to show.
    if (!metrics.isDrawable())
        return QByteArray();
    const QRect area = region.isNull() ? QRect(0, 0, metrics.width(), metrics.height())
                                       : region & QRect(0, 0, metrics.width(), metrics.height());
    if (area.isEmpty())
        return QByteArray();
    QByteArray bytes;
    bytes.reserve(int(std::min<qint64>(qint64(area.width()) * area.height() * 4 + 65536, 0x7fff0000)));
    PngStreamWriter writer(
            [&bytes](const char *data, qint64 size) {
                bytes.append(data, int(size));
                return true;
            },
            area.width(), area.height(), storedPng());
    if (!writer.begin())
        return QByteArray();
    // The area's columns of each band, without copying.
    const auto sink = [this, &writer, &area](const QImage &rows, int) {
        const QImage columns(rows.constBits() + qsizetype(area.x()) * 4, area.width(), rows.height(),
                             rows.bytesPerLine(), rows.format());
        return !m_cancelled && writer.writeRows(columns);
    };
    // A small drawing is quicker whole on one thread than cut into bands whose blurs must
    // first be measured across the canvas, while the page's thread wants a core too.
    m_renderer->setThreadCount(qint64(area.width()) * area.height() <= kQuickThreshold ? 1 : 0);
    const auto result = m_renderer->renderRows(*m_scene, m_generator->settings(), scale, RenderLayer::Composite,
                                               area.y(), area.height(), sink);
    if (result != CircuitRenderer::BandResult::Done || !writer.finish())
        return QByteArray();
    return bytes;
}

QByteArray PreviewJob::sketch() const
{
    const GeneratorSettings &settings = m_generator->settings();
    const QImage image = CircuitSketch::draw(m_scene->circuit(), settings,
                                             quickScale(settings.width, settings.height, m_renderScale));
    if (image.isNull())
        return QByteArray();
    return PngStreamWriter::encode(image, storedPng());
}

std::unique_ptr<ArtworkScene> PreviewJob::takeScene()
{
    return std::move(m_scene);
}

std::unique_ptr<CircuitRenderer> PreviewJob::takeRenderer()
{
    return std::move(m_renderer);
}
