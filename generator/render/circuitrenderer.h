#pragma once

#include "renderlayer.h"

#include <QImage>

#include <memory>

class Circuit;
struct GeneratorSettings;

// Renders a circuit as a raster image: the finished artwork (background,
// shadow, wires, pads, chips, vignette, glowing signals and dots) or one of
// the white-on-black layer masks. Draws glowing dots and signal positions from
// random stream 5; it never reseeds, so callers that need reproducible output
// reset the streams first.
class CircuitRenderer
{
public:
    CircuitRenderer();
    virtual ~CircuitRenderer();

    CircuitRenderer(const CircuitRenderer &) = delete;
    CircuitRenderer &operator=(const CircuitRenderer &) = delete;

    // Renders at render scale s (canvas roundf(width × s) × roundf(height × s))
    // and returns the new ARGB32 image, owned by the renderer and valid until
    // the next render. Returns nullptr, drawing nothing and consuming no random
    // values, when the canvas has no pixels or exceeds the limits of
    // RenderMetrics.
    const QImage *render(const Circuit &circuit, const GeneratorSettings &settings, float renderScale,
                         RenderLayer layer);

    // The last rendered image, or nullptr.
    const QImage *image() const { return m_image.get(); }

    // Box blur with a (2 × radius + 1)² kernel followed by a min-max stretch
    // to 0..255 over all channels; the result is RGB32.
    static QImage boxBlurNormalized(const QImage &image, int radius);

private:
    std::unique_ptr<QImage> m_image;
};
