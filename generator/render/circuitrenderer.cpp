#include "circuitrenderer.h"

#include "cvimageadapter.h"
#include "rendermetrics.h"
#include "renderpass.h"

CircuitRenderer::CircuitRenderer() = default;

CircuitRenderer::~CircuitRenderer() = default;

const QImage *CircuitRenderer::render(const Circuit &circuit, const GeneratorSettings &settings, float renderScale,
                                      RenderLayer layer)
{
    m_image.reset();
    const RenderMetrics metrics(settings, renderScale);
    if (!metrics.isDrawable())
        return nullptr;
    auto image = std::make_unique<QImage>(metrics.width(), metrics.height(), QImage::Format_ARGB32);
    // Allocation can still fail for a canvas within the limits when memory is short.
    if (image->isNull())
        return nullptr;
    RenderPass(*image, circuit, settings, metrics, layer).run();
    m_image = std::move(image);
    return m_image.get();
}

QImage CircuitRenderer::boxBlurNormalized(const QImage &image, int radius)
{
    return CvImageAdapter::boxBlurNormalized(image, radius);
}
