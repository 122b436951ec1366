#include "circuitrenderer.h"

#include "artworkscene.h"
#include "canvaswindow.h"
#include "cvimageadapter.h"
#include "drawingbudget.h"
#include "paralleltasks.h"
#include "renderbuffers.h"
#include "rendermetrics.h"
#include "renderpass.h"
#include "renderplan.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// A band render holds five images of its work area per slot (the canvas
// band, shadow or vignette, signal, glow and one blurred image).
constexpr long long kImagesPerSlot = 5;
// Memory for all slots' images: small enough that an A3 print stays near
// 300 MB, larger for posters, where fewer and taller bands waste less work
// on the margins.
constexpr long long kPrintBudget = 180LL * 1024 * 1024;
constexpr long long kPosterBudget = 300LL * 1024 * 1024;
constexpr int kMinBandRows = 16;
// A small canvas is shared out, one band per thread, when every band is at least
// this tall (and four margins): shorter bands would spend more on drawing their
// neighbours' rows for the blurs than the threads save.
constexpr int kMinSharedBandRows = 128;
// A canvas too tall for one device geometry (CanvasWindow) is cut into bands as if
// this many threads shared it, whatever the machine has: its pixels then depend on
// the canvas alone. At most this many bands are in memory at once.
constexpr int kTallCanvasThreads = 4;

QImage rowsOf(const QImage &work, int offset, int rows)
{
    return QImage(work.constBits() + qsizetype(offset) * work.bytesPerLine(), work.width(), rows, work.bytesPerLine(),
                  QImage::Format_ARGB32);
}

} // namespace

// The per-slot images, kept between renders.
class CircuitRenderer::Bands
{
public:
    struct Slot {
        RenderBuffers buffers;
    };

    Slot &slot(int index) { return m_slots[static_cast<size_t>(index)]; }

    // Exactly count slots, made before any thread uses one (a slot must not
    // move while another thread paints into its neighbour).
    void keep(int count) { m_slots.resize(static_cast<size_t>(count)); }

    int size() const { return int(m_slots.size()); }

private:
    std::vector<Slot> m_slots;
};

CircuitRenderer::CircuitRenderer()
    : m_bands(std::make_unique<Bands>())
{ }

CircuitRenderer::~CircuitRenderer() = default;

void CircuitRenderer::releaseBuffers()
{
    m_bands->keep(0);
}

int CircuitRenderer::threadCount() const
{
    return ParallelTasks::resolve(m_threads);
}

namespace {

// The memory all slots' images may take for a canvas of this many pixels; none for a
// canvas small enough to draw whole.
long long bandBudget(long long pixels)
{
    if (pixels <= CircuitRenderer::kWholeCanvasPixels)
        return std::numeric_limits<long long>::max();
    return pixels <= RenderMetrics::kMaxPixels ? kPrintBudget : kPosterBudget;
}

} // namespace

int CircuitRenderer::bandRowsFor(const RenderMetrics &metrics, int margin, int threads) const
{
    const int height = metrics.height();
    if (m_bandRows > 0)
        return std::min(m_bandRows, height);
    if (!CanvasWindow::spansCanvas(height))
        threads = kTallCanvasThreads;
    const long long pixels = static_cast<long long>(metrics.width()) * height;
    if (pixels <= kWholeCanvasPixels) {
        const int shared = (height + threads - 1) / std::max(1, threads);
        return threads > 1 && shared >= std::max(kMinSharedBandRows, 4 * margin) ? shared : height;
    }
    const long long budget = bandBudget(pixels);
    const long long rowBytes = 4LL * metrics.width() * kImagesPerSlot;
    const long long workRows = budget / std::max(1, threads) / rowBytes;
    const long long rows = std::max<long long>(workRows - 2LL * margin, std::max(kMinBandRows, margin));
    return int(std::min<long long>(rows, height));
}

const QImage *CircuitRenderer::render(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                                      RenderLayer layer)
{
    m_image.reset();
    const RenderMetrics metrics(settings, renderScale);
    if (!metrics.isDrawable() || !DrawingBudget::rasterRefusal(scene.circuit(), settings, renderScale).isEmpty())
        return nullptr;
    auto image = std::make_unique<QImage>(metrics.width(), metrics.height(), QImage::Format_ARGB32);
    // Allocation can still fail for a canvas within the limits when memory is short.
    if (image->isNull())
        return nullptr;
    const RenderPlan plan(scene, settings, metrics, layer);
    const RenderPass pass(plan, scene.circuit(), settings, metrics, layer);
    const int rows = bandRowsFor(metrics, pass.margin(), threadCount());
    if (rows >= metrics.height()) {
        m_bands->keep(std::max(m_bands->size(), 1));
        pass.run(*image, 0, m_bands->slot(0).buffers, nullptr);
    } else {
        const int bytes = image->width() * 4;
        drawBands(
                pass, metrics, rows,
                [&image, bytes](const QImage &band, int firstRow) {
                    for (int y = 0; y < band.height(); ++y)
                        std::copy_n(band.constScanLine(y), bytes, image->scanLine(firstRow + y));
                    return true;
                },
                {0, metrics.height()});
    }
    m_image = std::move(image);
    return m_image.get();
}

CircuitRenderer::BandResult CircuitRenderer::renderBands(const ArtworkScene &scene, const GeneratorSettings &settings,
                                                         float renderScale, RenderLayer layer, const BandSink &sink)
{
    const RenderMetrics metrics(settings, renderScale);
    if (!metrics.isBandable())
        return BandResult::NotDrawable;
    if (!DrawingBudget::rasterRefusal(scene.circuit(), settings, renderScale).isEmpty())
        return BandResult::OverBudget;
    const RenderPlan plan(scene, settings, metrics, layer);
    const RenderPass pass(plan, scene.circuit(), settings, metrics, layer);
    return drawBands(pass, metrics, bandRowsFor(metrics, pass.margin(), threadCount()), sink, {0, metrics.height()});
}

CircuitRenderer::BandResult CircuitRenderer::renderRows(const ArtworkScene &scene, const GeneratorSettings &settings,
                                                        float renderScale, RenderLayer layer, int firstRow,
                                                        int rowCount, const BandSink &sink)
{
    const RenderMetrics metrics(settings, renderScale);
    if (!metrics.isBandable())
        return BandResult::NotDrawable;
    const int top = std::max(0, firstRow);
    const int bottom = int(std::min<long long>(metrics.height(), static_cast<long long>(firstRow) + rowCount));
    if (bottom <= top)
        return BandResult::NotDrawable;
    if (!DrawingBudget::rasterRefusal(scene.circuit(), settings, renderScale).isEmpty())
        return BandResult::OverBudget;
    const RenderPlan plan(scene, settings, metrics, layer);
    const RenderPass pass(plan, scene.circuit(), settings, metrics, layer);
    return drawBands(pass, metrics, bandRowsFor(metrics, pass.margin(), threadCount()), sink, {top, bottom - top});
}

CircuitRenderer::BandResult CircuitRenderer::drawBands(const RenderPass &pass, const RenderMetrics &metrics, int rows,
                                                       const BandSink &sink, Window window)
{
    const int width = metrics.width();
    const int height = metrics.height();
    const int margin = pass.margin();
    const int threads = CanvasWindow::spansCanvas(height) ? threadCount() : std::min(threadCount(), kTallCanvasThreads);
    const int bandCount = (height + rows - 1) / rows;
    struct Band {
        int top;
        int rows;
        int workTop;
        int workHeight;
    };
    auto bandOf = [&](int top, int count) {
        const int workTop = std::max(0, top - margin);
        const int workBottom = std::min(height, top + count + margin);
        return Band {top, count, workTop, workBottom - workTop};
    };
    std::vector<Band> bands;
    for (int top = 0; top < height; top += rows)
        bands.push_back(bandOf(top, std::min(rows, height - top)));
    // The window's rows, cut the same way; any cut gives the same pixels.
    const bool whole = window.top == 0 && window.rows == height;
    std::vector<Band> drawn;
    for (int top = window.top; top < window.top + window.rows; top += rows)
        drawn.push_back(bandOf(top, std::min(rows, window.top + window.rows - top)));
    // A wide blur makes a band's work area much taller than its rows: fewer bands at once
    // then keep the images within the budget (the bands, and so the pixels, stay the same).
    const long long slotBytes = 4LL * width * kImagesPerSlot * (std::min(rows, height) + 2LL * margin);
    const long long affordable = std::max(1LL, bandBudget(static_cast<long long>(width) * height) / slotBytes);
    const int slotCount = int(std::min<long long>(std::min(threads, bandCount), affordable));
    m_bands->keep(std::max(m_bands->size(), slotCount));

    // The stretches use ranges over the whole canvas: find them first.
    BlurRanges ranges;
    const bool banded = bandCount > 1 || !whole;
    if (banded && pass.needsRanges()) {
        std::vector<BlurRanges> found(static_cast<size_t>(bandCount));
        ParallelTasks::run(bandCount, slotCount, [&](int index, int worker) {
            const Band &band = bands[size_t(index)];
            found[size_t(index)]
                    = pass.measure(band.workTop, band.workHeight, band.top, band.rows, m_bands->slot(worker).buffers);
        });
        for (const BlurRanges &range : found)
            ranges.merge(range);
    }
    const int drawnCount = int(drawn.size());
    for (int first = 0; first < drawnCount; first += slotCount) {
        const int batch = std::min(slotCount, drawnCount - first);
        ParallelTasks::run(batch, slotCount, [&](int index, int) {
            const Band &band = drawn[size_t(first + index)];
            Bands::Slot &slot = m_bands->slot(index);
            QImage &work
                    = slot.buffers.image(RenderBuffers::Work, QSize(width, band.workHeight), QImage::Format_ARGB32);
            pass.run(work, band.workTop, slot.buffers, banded ? &ranges : nullptr);
        });
        for (int index = 0; index < batch; ++index) {
            const Band &band = drawn[size_t(first + index)];
            const QImage &work = m_bands->slot(index).buffers.current(RenderBuffers::Work);
            if (!sink(rowsOf(work, band.top - band.workTop, band.rows), band.top))
                return BandResult::Stopped;
        }
    }
    return BandResult::Done;
}

QImage CircuitRenderer::boxBlurNormalized(const QImage &image, int radius)
{
    return CvImageAdapter::boxBlurNormalized(image, radius);
}
