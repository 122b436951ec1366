#pragma once

#include "renderbuffers.h"
#include "rendermetrics.h"
#include "renderpass.h"
#include "renderplan.h"

#include <QImage>
#include <QPainter>
#include <QSize>

#include <vector>

class ArtworkScene;
struct GeneratorSettings;

// The frames of a seamless loop of the finished artwork: the signals travel along their
// wires, everything else stands still. The still parts are drawn once; each frame copies
// them, paints the moved signals and composes their glow, then the dot glow kept from the
// still. Frame 0 has the still's pixels, frame k of n equals frame 2k of 2n, and frame n
// would again be frame 0. The canvas is drawn whole, so the whole-canvas limits apply.
class LoopFrames
{
public:
    // The scene and settings must outlive the frames.
    LoopFrames(const ArtworkScene &scene, const GeneratorSettings &settings, float renderScale, int frameCount);

    // Whether the canvas has pixels and fits the whole-canvas limits.
    bool isDrawable() const { return m_metrics.isDrawable(); }
    QSize size() const { return QSize(m_metrics.width(), m_metrics.height()); }
    int frameCount() const { return m_frameCount; }

    // Frame k (0 <= k < frameCount()), opaque ARGB32, valid until the next call; a null
    // image when the canvas is not drawable or memory is short.
    const QImage &frame(int k);

private:
    struct Layer {
        QImage image;
        QPainter::CompositionMode mode;
    };

    bool prepare();

    const ArtworkScene &m_scene;
    const GeneratorSettings &m_settings;
    const int m_frameCount;
    RenderMetrics m_metrics;
    RenderPlan m_plan;
    RenderPass m_pass;
    RenderBuffers m_buffers;
    QImage m_still;
    QImage m_frame;
    std::vector<Layer> m_dotGlow;
    bool m_prepared = false;
};
