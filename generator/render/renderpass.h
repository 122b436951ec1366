#pragma once

#include "blurranges.h"
#include "layerpalette.h"
#include "renderlayer.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPoint>

#include <functional>

class Circuit;
class QImage;
class RenderMetrics;
class RenderPlan;
struct ChipPlacement;
struct GeneratorSettings;
class RenderBuffers;

// The drawing steps of CircuitRenderer in their fixed order, for the whole
// canvas or for one horizontal band of it. A band is painted into a work
// image that covers canvas rows workTop .. workTop + height; every effect
// reads at most margin() rows around a pixel, so the rows of a work image
// that lie at least margin() rows inside it (or reach the canvas edge) are
// exactly the rows of a whole-canvas render, given the same blur ranges.
class RenderPass
{
public:
    RenderPass(const RenderPlan &plan, const Circuit &circuit, const GeneratorSettings &settings,
               const RenderMetrics &metrics, RenderLayer layer);

    // Rows around a pixel that its effects read: the largest blur radius.
    int margin() const;
    // Whether the render stretches blurred images, whose ranges a banded
    // render must find over the whole canvas first.
    bool needsRanges() const;

    // Paints canvas rows workTop .. workTop + work.height() into work (an
    // ARGB32 image of the canvas width). Without ranges, each blurred image is
    // stretched by its own range (the whole-canvas render).
    void run(QImage &work, int workTop, RenderBuffers &buffers, const BlurRanges *ranges) const;
    // The blur ranges over canvas rows firstRow .. firstRow + rowCount, which
    // lie inside the work area workTop .. workTop + workHeight; paints only
    // the images that are blurred.
    BlurRanges measure(int workTop, int workHeight, int firstRow, int rowCount, RenderBuffers &buffers) const;

    // For a loop, whose frames differ only in the signals, on a whole canvas: run() without
    // the glow it ends with, which is all that stays the same from frame to frame.
    void runStillParts(QImage &canvas, RenderBuffers &buffers) const;
    // The glow of the plan's signals, painted afresh, composed onto a canvas as run() does.
    void composeSignalGlow(QImage &canvas, RenderBuffers &buffers) const;
    // The images of the glowing dots, each with its mode, in the order run() composes them
    // after the signal glow; the dots as the last runStillParts() painted them.
    using LayerUse = std::function<void(const QImage &image, QPainter::CompositionMode mode)>;
    void dotGlowLayers(RenderBuffers &buffers, const LayerUse &use) const;

private:
    struct Area {
        int top;
        int height;
    };
    // The painter on the work image, in canvas coordinates, and the image's rows.
    struct Main {
        QPainter &painter;
        QImage &rows;
        int top;
    };

    void paint(QImage &work, int workTop, RenderBuffers &buffers, const BlurRanges *ranges, bool withGlow) const;
    bool isLayer(RenderLayer a, RenderLayer b) const { return m_layer == a || m_layer == b; }
    int glowRadius() const;
    int dotGlowRadius() const;

    QImage &paintShadow(RenderBuffers &buffers, const Area &area) const;
    QImage &paintSignals(RenderBuffers &buffers, const Area &area) const;
    QImage &paintGlowDots(RenderBuffers &buffers, const Area &area) const;
    void paintWiresAndDots(QPainter &main, const Area &area) const;
    void paintChips(QPainter &main, const Area &area) const;
    void drawShadow(const Main &main, const Area &area, RenderBuffers &buffers, const BlurRanges *ranges) const;
    void compose(const Main &main, const Area &area, RenderBuffers &buffers) const;
    void drawVignette(const Main &main, const Area &area, RenderBuffers &buffers) const;
    void drawGlow(const Main &main, RenderBuffers &buffers, const BlurRanges *ranges) const;
    void drawSignalGlow(const Main &main, RenderBuffers &buffers, const BlurRanges *ranges) const;
    void forEachDotGlowLayer(RenderBuffers &buffers, const BlurRanges *ranges, const LayerUse &use) const;
    void drawBlurred(const Main &main, const QImage &image, int radius, RenderBuffers &buffers,
                     const BlurRanges *ranges, BlurRanges::Image which) const;
    // The image blurred and stretched to its range (or the given ranges), in the blur buffer.
    static const QImage &stretchedBlur(const QImage &image, int radius, RenderBuffers &buffers,
                                       const BlurRanges *ranges, BlurRanges::Image which);

    QPen wirePen(const QColor &color, double width) const;
    void drawChip(QPainter &painter, const ChipPlacement &chip) const;
    static void drawDot(QPainter &painter, const QPoint &centre, const QBrush &brush1, const QBrush &brush2,
                        const QBrush &brush3, double r1, double r2, double r3);
    // Draws an image of the work area's rows over them in the painter's mode.
    static void drawOnRows(const Main &main, const QImage &image);

    const RenderPlan &m_plan;
    const Circuit &m_circuit;
    const GeneratorSettings &m_settings;
    const RenderMetrics &m_metrics;
    const RenderLayer m_layer;
    const LayerPalette m_palette;
};
