#include "renderpass.h"

#include "chipgeometry.h"
#include "circuit.h"
#include "cvimageadapter.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "rendermetrics.h"
#include "signalstretch.h"
#include "wiredots.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

// Qt 5.15 marks HighQualityAntialiasing deprecated; the main painter still
// sets it so that the hints are the artwork's documented ones on every Qt 5.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
const QPainter::RenderHints kMainRenderHints = QPainter::Antialiasing | QPainter::HighQualityAntialiasing;
QT_WARNING_POP

// Every intermediate image starts opaque, so that the composition modes see no alpha.
QImage filledImage(const QImage &canvas, const QColor &color)
{
    QImage image(canvas.size(), QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

bool isDrawnWire(const Wire &wire)
{
    return !wire.removed && wire.cells.size() >= 2;
}

} // namespace

RenderPass::RenderPass(QImage &canvas, const Circuit &circuit, const GeneratorSettings &settings,
                       const RenderMetrics &metrics, RenderLayer layer)
    : m_canvas(canvas)
    , m_circuit(circuit)
    , m_settings(settings)
    , m_metrics(metrics)
    , m_layer(layer)
    , m_palette(settings, layer)
{ }

void RenderPass::run()
{
    QPainter main(&m_canvas);
    main.setRenderHints(kMainRenderHints);
    main.fillRect(QRect(0, 0, m_canvas.width(), m_canvas.height()), m_palette.background());
    if (m_settings.wireShadow > 0 && m_layer == Composite)
        drawShadow(main);

    QImage signalImage = filledImage(m_canvas, Qt::black);
    QImage glowImage = filledImage(m_canvas, Qt::black);
    {
        QPainter signalPainter(&signalImage);
        QPainter glowPainter(&glowImage);
        main.setCompositionMode(QPainter::CompositionMode_SourceOver);
        drawWiresAndDots(main, glowPainter);
        drawChips(main);
        drawSignals(signalPainter);
    }
    compose(main, signalImage, glowImage);
    main.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void RenderPass::drawShadow(QPainter &main) const
{
    const int grey = RenderMetrics::truncated(255.0f - m_settings.wireShadow * 80.0f);
    const QColor shadowColor = LayerPalette::opaqueColor(grey, grey, grey);
    const QBrush shadowBrush(shadowColor);
    main.setCompositionMode(QPainter::CompositionMode_Multiply);
    QImage shadow = filledImage(m_canvas, Qt::white);
    {
        QPainter painter(&shadow);
        const double r = m_metrics.dotRadius();
        for (const auto &wire : m_circuit.wires()) {
            if (wire->removed)
                continue;
            if (wire->cells.size() >= 2)
                drawWire(painter, shadowColor, *wire);
            if (r > 0) {
                for (const QPoint &point : WireDots::endPoints(*wire, m_metrics))
                    drawDot(painter, point, shadowBrush, QBrush(), QBrush(), r, 0, 0);
            }
        }
    }
    bool hasShade = false;
    const QImage blurred = CvImageAdapter::boxBlurNormalized(shadow, 3, &hasShade);
    // With nothing drawn the blurred shadow has no range, and stretching it
    // would turn the whole canvas black; there is nothing to shade then.
    if (hasShade)
        main.drawImage(0, 0, blurred);
}

void RenderPass::drawWiresAndDots(QPainter &main, QPainter &glow) const
{
    const QBrush wireBrush(m_palette.wire());
    const QBrush backgroundBrush(m_palette.background());
    const QBrush holeBrush(m_palette.hole());
    const QBrush signalBrush(m_palette.signal());
    const double r = m_metrics.dotRadius();
    const double rh = m_metrics.holeRadius();
    const double ri = m_metrics.innerRadius();
    for (const auto &wire : m_circuit.wires()) {
        if (wire->removed)
            continue;
        if (wire->cells.size() >= 2 && isLayer(Composite, Wires))
            drawWire(main, m_palette.wire(), *wire);
        const auto dots = WireDots::choose(*wire, m_metrics, m_layer, m_settings.glowingDotsAmount);
        for (const WireDots::Dot &dot : dots) {
            if (dot.pad)
                drawDot(main, dot.centre, wireBrush, backgroundBrush, holeBrush, r, rh, ri);
            if (dot.glow)
                drawDot(glow, dot.centre, signalBrush, QBrush(), QBrush(), r, 0, 0);
        }
    }
}

void RenderPass::drawChips(QPainter &main) const
{
    if (!isLayer(Composite, Components))
        return;
    for (const ChipPlacement &chip : m_circuit.chips())
        drawChip(main, chip);
}

void RenderPass::drawSignals(QPainter &signalPainter) const
{
    // Runs for every layer so that every layer consumes the stream alike.
    for (const auto &wire : m_circuit.wires()) {
        if (isDrawnWire(*wire))
            drawWireSignals(signalPainter, m_palette.signal(), *wire);
    }
}

void RenderPass::compose(QPainter &main, const QImage &signalImage, const QImage &glowImage) const
{
    switch (m_layer) {
    case Composite:
        if (m_settings.vignetting > 0)
            drawVignette(main);
        drawGlow(main, signalImage, glowImage);
        break;
    case Signals:
        main.setCompositionMode(QPainter::CompositionMode_SourceOver);
        main.drawImage(0, 0, signalImage);
        break;
    case DotSignals:
        main.setCompositionMode(QPainter::CompositionMode_Screen);
        main.drawImage(0, 0, glowImage);
        break;
    case Wires:
    case Dots:
    case Components:
        break;
    }
}

void RenderPass::drawVignette(QPainter &main) const
{
    const int v = RenderMetrics::truncated(128.0f * m_settings.vignetting);
    const int inner = std::min(v + 127, 255);
    const int outer = std::max(127 - v, 0);
    const int w = m_canvas.width();
    const int h = m_canvas.height();
    QImage vignette = filledImage(m_canvas, Qt::black);
    {
        QPainter painter(&vignette);
        QRadialGradient gradient(QPointF(w / 2, h / 2), 0.5 * std::sqrt(double(w * w + h * h)));
        gradient.setColorAt(0, QColor(inner, inner, inner));
        gradient.setColorAt(1.0, QColor(outer, outer, outer));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawRect(0, 0, w, h);
    }
    main.setCompositionMode(QPainter::CompositionMode_Overlay);
    main.drawImage(0, 0, vignette);
}

void RenderPass::drawGlow(QPainter &main, const QImage &signalImage, const QImage &glowImage) const
{
    const int g = m_metrics.signalGlow();
    main.setCompositionMode(QPainter::CompositionMode_ColorDodge);
    if (g < 1) {
        main.drawImage(0, 0, signalImage);
    } else {
        drawBlurred(main, signalImage, g);
        if (g != 1)
            drawBlurred(main, signalImage, g >> 1);
    }
    main.setCompositionMode(QPainter::CompositionMode_Screen);
    if (g < 2) {
        main.drawImage(0, 0, glowImage);
        return;
    }
    const int g2 = int(g / 1.5);
    drawBlurred(main, glowImage, g2);
    main.setCompositionMode(QPainter::CompositionMode_ColorDodge);
    if (g2 > 1)
        drawBlurred(main, glowImage, g2 >> 1);
}

void RenderPass::drawBlurred(QPainter &painter, const QImage &image, int radius)
{
    painter.drawImage(0, 0, CvImageAdapter::boxBlurNormalized(image, radius));
}

QPen RenderPass::wirePen(const QColor &color, const Wire &wire) const
{
    return QPen(QBrush(color), m_metrics.strokeWidth(wire.thickness, wire.density), Qt::SolidLine, Qt::RoundCap,
                Qt::BevelJoin);
}

void RenderPass::drawWire(QPainter &painter, const QColor &color, const Wire &wire) const
{
    if (!isDrawnWire(wire))
        return;
    painter.setPen(wirePen(color, wire));
    painter.setBrush(Qt::NoBrush);
    if (wire.cells.size() == 2) {
        const CircuitCell *a = wire.cells[0];
        const CircuitCell *b = wire.cells[1];
        QPainterPath path(m_metrics.exactCentre(a->x, a->y));
        path.lineTo(m_metrics.exactCentre(b->x, b->y));
        painter.drawPath(path);
        return;
    }
    const LaneGeometry geometry(wire, m_metrics.cellSize(), m_settings.wireThickness, m_settings.wireRoundness);
    for (int lane = 0; lane < wire.density; ++lane)
        painter.drawPath(geometry.lanePath(lane).toPainterPath());
}

void RenderPass::drawWireSignals(QPainter &painter, const QColor &color, const Wire &wire) const
{
    if (wire.removed || wire.signalSize < 0)
        return;
    painter.setPen(wirePen(color, wire));
    painter.setBrush(Qt::NoBrush);
    const LaneGeometry geometry(wire, m_metrics.cellSize(), m_settings.wireThickness, m_settings.wireRoundness);
    for (int lane = 0; lane < wire.density; ++lane) {
        const SignalStretch stretch = SignalStretch::pick(wire).forRaster();
        painter.drawPath(geometry.lanePath(lane, stretch.start(), stretch.end()).toPainterPath());
    }
}

void RenderPass::drawChip(QPainter &painter, const ChipPlacement &chip) const
{
    if (!chip.render)
        return;
    const double c = m_metrics.cellSize();
    const double corner = ChipGeometry::pinCorner(c);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ChipGeometry::kPinColor);
    const QVector<QRectF> pins = ChipGeometry::pinPairs(chip, c);
    for (int i = 0; i + 1 < pins.size(); i += 2) {
        QPainterPath pair;
        pair.addRoundedRect(pins[i], corner, corner);
        pair.addRoundedRect(pins[i + 1], corner, corner);
        painter.drawPath(pair);
    }
    // The body is drawn last so that it covers the inner ends of the pins.
    painter.setBrush(ChipGeometry::kBodyColor);
    painter.drawRoundedRect(ChipGeometry::body(chip, c), ChipGeometry::bodyCorner(c), ChipGeometry::bodyCorner(c));
}

void RenderPass::drawDot(QPainter &painter, const QPoint &centre, const QBrush &brush1, const QBrush &brush2,
                         const QBrush &brush3, double r1, double r2, double r3)
{
    auto disc = [&painter, &centre](const QBrush &brush, double radius) {
        const int k = RenderMetrics::truncated(radius);
        painter.setBrush(brush);
        painter.drawEllipse(QRect(centre.x() - k, centre.y() - k, 2 * k, 2 * k));
    };
    painter.setPen(Qt::NoPen);
    disc(brush1, r1);
    if (!(r2 < r1 && r2 > 0))
        return;
    if (r3 < r2)
        disc(brush2, r2);
    if (r3 > 0)
        disc(brush3, r3);
}
