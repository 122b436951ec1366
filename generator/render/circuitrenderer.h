#pragma once

#include "renderlayer.h"

#include <QImage>

#include <functional>
#include <memory>

class ArtworkScene;
class RenderMetrics;
class RenderPass;
struct GeneratorSettings;

// Renders an artwork scene as a raster image: the finished artwork
// (background, shadow, wires, pads, chips, vignette, glowing signals and dots)
// or one of the white-on-black layer masks. It draws no random numbers: the
// scene holds every random choice.
//
// A render runs inside the call, on worker threads that it joins before
// returning; the pixels never depend on the number of threads or on how the
// canvas is cut into bands. (A canvas too tall for one painter device, which
// no whole-canvas render reaches, is cut the same way on every machine.)
class CircuitRenderer
{
public:
    // Receives the rows firstRow .. firstRow + rows.height() of the canvas,
    // top to bottom; returns false to stop the render.
    using BandSink = std::function<bool(const QImage &rows, int firstRow)>;

    enum class BandResult { Done, NotDrawable, OverBudget, Stopped };

    CircuitRenderer();
    virtual ~CircuitRenderer();

    CircuitRenderer(const CircuitRenderer &) = delete;
    CircuitRenderer &operator=(const CircuitRenderer &) = delete;

    // Renders at render scale s (canvas roundf(width × s) × roundf(height × s))
    // and returns the new ARGB32 image, owned by the renderer and valid until
    // the next render. Returns nullptr, drawing nothing, when the canvas has no
    // pixels or exceeds the whole-canvas limits of RenderMetrics, or when the
    // drawing exceeds the DrawingBudget.
    const QImage *render(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                         RenderLayer layer);

    // Renders in horizontal bands, handing each band's rows to sink in order,
    // without ever holding the whole canvas: the banded limits of
    // RenderMetrics apply, and the DrawingBudget (OverBudget). The same pixels
    // as render().
    BandResult renderBands(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                           RenderLayer layer, const BandSink &sink);

    // Renders only the rows firstRow .. firstRow + rowCount − 1 (clipped to the canvas),
    // handing them to sink in bands, top to bottom: the pixels renderBands gives those
    // rows. The blurs' stretches still take their ranges from the whole canvas, so those
    // effects are measured everywhere; everything else is drawn for the rows alone
    // (a zoomed view of a large canvas). NotDrawable when no row is left.
    BandResult renderRows(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                          RenderLayer layer, int firstRow, int rowCount, const BandSink &sink);

    // Frees the intermediate images kept for the next render.
    void releaseBuffers();

    // The last rendered image, or nullptr.
    const QImage *image() const { return m_image.get(); }

    // Rows per band; 0 (the default) chooses: for a small canvas one band per
    // thread, or the whole canvas at once when such bands would be short; bands
    // that bound the memory otherwise. render() honours either.
    void setBandRows(int rows) { m_bandRows = rows; }
    // Worker threads; 0 (the default) uses one per core.
    void setThreadCount(int threads) { m_threads = threads; }
    int threadCount() const;

    // Canvases up to this many pixels are rendered whole by renderBands.
    static constexpr long long kWholeCanvasPixels = 4000000;

    // Box blur with a (2 × radius + 1)² kernel followed by a min-max stretch
    // to 0..255 over all channels; the result is RGB32.
    static QImage boxBlurNormalized(const QImage &image, int radius);

private:
    class Bands;

    // Rows of the canvas that a render hands over.
    struct Window {
        int top;
        int rows;
    };

    int bandRowsFor(const RenderMetrics &metrics, int margin, int threads) const;
    BandResult drawBands(const RenderPass &pass, const RenderMetrics &metrics, int rows, const BandSink &sink,
                         Window window);

    std::unique_ptr<QImage> m_image;
    std::unique_ptr<Bands> m_bands;
    int m_bandRows = 0;
    int m_threads = 0;
};
