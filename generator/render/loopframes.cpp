#include "loopframes.h"

#include "artworkscene.h"
#include "imageblender.h"

#include <cstring>

LoopFrames::LoopFrames(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale,
                       int frameCount)
    : m_scene(scene)
    , m_settings(settings)
    , m_frameCount(frameCount)
    , m_metrics(settings, renderScale)
    , m_plan(scene, settings, m_metrics, Composite)
    , m_pass(m_plan, scene.circuit(), settings, m_metrics, Composite)
{ }

bool LoopFrames::prepare()
{
    if (m_prepared)
        return !m_still.isNull();
    m_prepared = true;
    if (!isDrawable())
        return false;
    m_still = QImage(size(), QImage::Format_ARGB32);
    if (m_still.isNull())
        return false;
    m_pass.runStillParts(m_still, m_buffers);
    // The dot glow's blurred images depend on the dots alone: blurred once, kept.
    m_pass.dotGlowLayers(m_buffers, [this](const QImage &image, QPainter::CompositionMode mode) {
        m_dotGlow.push_back({image.copy(), mode});
    });
    return true;
}

const QImage &LoopFrames::frame(int k)
{
    if (!prepare() || k < 0 || k >= m_frameCount) {
        m_frame = QImage();
        return m_frame;
    }
    m_plan.moveSignals(m_scene, m_settings, m_metrics, k, m_frameCount);
    // The frame's buffer is kept from frame to frame unless a caller still holds it.
    if (m_frame.size() != m_still.size())
        m_frame = QImage(m_still.size(), QImage::Format_ARGB32);
    std::memcpy(m_frame.bits(), m_still.constBits(), size_t(m_still.sizeInBytes()));
    m_pass.composeSignalGlow(m_frame, m_buffers);
    for (const Layer &layer : m_dotGlow) {
        if (!ImageBlender::compose(m_frame, layer.image, layer.mode)) {
            QPainter painter(&m_frame);
            painter.setCompositionMode(layer.mode);
            painter.drawImage(0, 0, layer.image);
        }
    }
    return m_frame;
}
