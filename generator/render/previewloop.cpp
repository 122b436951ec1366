#include "previewloop.h"

#include "artworkscene.h"
#include "circuitgenerator.h"
#include "loopframes.h"

PreviewLoop::PreviewLoop() = default;

PreviewLoop::~PreviewLoop() = default;

void PreviewLoop::keep(const CircuitGenerator &generator, std::unique_ptr<ArtworkScene> scene, float renderScale)
{
    m_frames.reset();
    m_scene = std::move(scene);
    m_version = generator.version();
    m_renderScale = renderScale;
}

const QImage *PreviewLoop::frame(const CircuitGenerator &generator, int k, int n)
{
    if (!m_scene || generator.version() != m_version || n < 2 || k < 0 || k >= n) {
        // The kept scene refers to a circuit the generator may no longer hold.
        if (generator.version() != m_version) {
            m_frames.reset();
            m_scene.reset();
        }
        return nullptr;
    }
    if (!m_frames || m_frames->frameCount() != n)
        m_frames = std::make_unique<LoopFrames>(*m_scene, generator.settings(), m_renderScale, n);
    const QImage &image = m_frames->frame(k);
    return image.isNull() ? nullptr : &image;
}
