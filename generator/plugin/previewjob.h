#pragma once

#include "randomstreams.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QVariantMap>

#include <atomic>
#include <functional>
#include <memory>

class ArtworkScene;
class CircuitGenerator;
class CircuitRenderer;

// One preview drawn off the GUI thread: a copy of the plug-in's generator (settings, masks
// and stream states at the request) generates the circuit and draws it, first as a quick
// sketch (CircuitSketch, with fewer pixels) when the exact image would take long, because
// it has many pixels or the circuit many wires, then exactly. The draws are those of a
// synchronous preview, made on the copy. A change of nothing but how the artwork is drawn
// (colours, sizes, effects) reuses the circuit an earlier job generated from the same
// settings, with the stream states its generation ended in: the same circuit and the same
// draws, without generating again. A job for a region (a zoomed view of a large canvas)
// draws the whole canvas quickly and then exactly only the region's pixels, so the exact
// stage costs what the view shows, not the canvas. Once cancelled the job stops at its next checkpoint:
// after generating, after choosing the artwork's random parts, between the bands of a
// drawing.
class PreviewJob
{
public:
    // What a stage of the job hands over: a PNG ready for the page, or "" for a refused
    // generation or drawing, whose reason `error` then gives.
    struct Image {
        QByteArray png;
        QString error;
        bool exact = false;
        // The exact stage of a region: its pixels alone.
        bool region = false;
    };
    // Called on the worker thread, once with the quick image when there is one, then once
    // with the exact image; never after cancel().
    using Deliver = std::function<void(const Image &image)>;

    // A circuit as a job generated it: its generator and the stream states right after.
    struct Generated {
        std::shared_ptr<const CircuitGenerator> owner;
        RandomStreams::States states {};
    };

    // Exact images with more pixels than this, or of circuits with more wires, take longer
    // than about 50 ms to draw here, so a sketch of at most kQuickPixels comes first.
    static constexpr qint64 kQuickThreshold = 1000000;
    static constexpr size_t kSketchWires = 4000;
    static constexpr qint64 kQuickPixels = 160000;

    // Copies `source`'s state now (on the caller's thread); `renderer` draws the images and
    // is handed back by takeRenderer(). With `reused`, which must have been generated from
    // the settings `source` holds but for the drawing keys, nothing is generated. A
    // `region` (pixels of the canvas at renderScale, within it) makes the exact stage that
    // region alone, after a quick stage of the whole canvas at at most kQuickPixels.
    PreviewJob(const CircuitGenerator &source, float renderScale, std::unique_ptr<CircuitRenderer> renderer,
               Generated reused, const QRect &region = QRect());
    ~PreviewJob();

    PreviewJob(const PreviewJob &) = delete;
    PreviewJob &operator=(const PreviewJob &) = delete;

    // Does the work on the calling (worker) thread.
    void run(const Deliver &deliver);

    // Thread-safe: the work stops at its next checkpoint and delivers nothing more.
    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }

    float renderScale() const { return m_renderScale; }
    // The scale of the sketch for a canvas drawn at renderScale: renderScale, or less so that
    // it has at most kQuickPixels.
    static float quickScale(int width, int height, float renderScale);

    // Once a stage was delivered: the stream states after generating and choosing the
    // artwork's random parts, exactly where a synchronous preview leaves them.
    const RandomStreams::States &finalStates() const { return m_finalStates; }
    // Once the exact stage was delivered (the worker touches none of them after that): the
    // generator with the preview's settings, the circuit drawn (for a later job to reuse;
    // no owner for a refused one), the scene drawn from it (null for a refused one) and the
    // renderer.
    std::shared_ptr<const CircuitGenerator> generator() const { return m_generator; }
    const Generated &generated() const { return m_generated; }
    std::unique_ptr<ArtworkScene> takeScene();
    std::unique_ptr<CircuitRenderer> takeRenderer();

    // Whether two parameter maps ask for the same circuit: they differ at most in keys that
    // only the drawing reads.
    static bool sameCircuit(const QVariantMap &a, const QVariantMap &b);

private:
    // Generates, or takes the reused circuit; false when cancelled meanwhile.
    bool generate();
    // Ends a refused job: nothing to draw, the reason handed over.
    void finish(const Deliver &deliver, const QString &refusal);
    // Whether the exact image is slow enough to be preceded by a sketch.
    bool wantsSketch() const;
    // The image at `scale` (only `region` of it, when not null), encoded as it streams from
    // the renderer; empty when cancelled.
    QByteArray draw(float scale, const QRect &region = QRect());
    // The sketch, encoded for the page; empty when the canvas cannot be drawn.
    QByteArray sketch() const;

    std::shared_ptr<CircuitGenerator> m_generator;
    Generated m_generated;
    std::unique_ptr<CircuitRenderer> m_renderer;
    std::unique_ptr<ArtworkScene> m_scene;
    RandomStreams::States m_finalStates {};
    const float m_renderScale;
    const QRect m_region;
    std::atomic<bool> m_cancelled {false};
};
