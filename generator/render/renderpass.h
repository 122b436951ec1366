#pragma once

#include "layerpalette.h"
#include "renderlayer.h"

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPoint>

class Circuit;
class QImage;
class QPainter;
class RenderMetrics;
class Wire;
struct ChipPlacement;
struct GeneratorSettings;

// One render of a circuit into a prepared canvas image: the drawing steps of
// CircuitRenderer in their fixed order, with the per-render painters and the
// shadow, signal, glow and vignette images.
class RenderPass
{
public:
    RenderPass(QImage &canvas, const Circuit &circuit, const GeneratorSettings &settings, const RenderMetrics &metrics,
               RenderLayer layer);

    // Draws everything into the canvas.
    void run();

private:
    bool isLayer(RenderLayer a, RenderLayer b) const { return m_layer == a || m_layer == b; }

    void drawShadow(QPainter &main) const;
    void drawWiresAndDots(QPainter &main, QPainter &glow) const;
    void drawChips(QPainter &main) const;
    void drawSignals(QPainter &signalPainter) const;
    void compose(QPainter &main, const QImage &signalImage, const QImage &glowImage) const;
    void drawVignette(QPainter &main) const;
    void drawGlow(QPainter &main, const QImage &signalImage, const QImage &glowImage) const;

    QPen wirePen(const QColor &color, const Wire &wire) const;
    void drawWire(QPainter &painter, const QColor &color, const Wire &wire) const;
    void drawWireSignals(QPainter &painter, const QColor &color, const Wire &wire) const;
    void drawChip(QPainter &painter, const ChipPlacement &chip) const;
    static void drawDot(QPainter &painter, const QPoint &centre, const QBrush &brush1, const QBrush &brush2,
                        const QBrush &brush3, double r1, double r2, double r3);
    static void drawBlurred(QPainter &painter, const QImage &image, int radius);

    QImage &m_canvas;
    const Circuit &m_circuit;
    const GeneratorSettings &m_settings;
    const RenderMetrics &m_metrics;
    const RenderLayer m_layer;
    const LayerPalette m_palette;
};
