#include "renderpass.h"

#include "canvaswindow.h"
#include "chipgeometry.h"
#include "circuit.h"
#include "cvimageadapter.h"
#include "generatorsettings.h"
#include "imageblender.h"
#include "renderbuffers.h"
#include "rendermetrics.h"
#include "renderplan.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

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
QImage &filledImage(RenderBuffers &buffers, RenderBuffers::Kind kind, const QSize &size, const QColor &color)
{
    QImage &image = buffers.image(kind, size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// The byte of an ARGB32 pixel in memory (blue, green, red, alpha on this
// little-endian layout) holding the colour's smallest component.
int darkestChannel(const QColor &color)
{
    const QRgb rgb = qToLittleEndian(quint32(color.rgb()));
    const auto *bytes = reinterpret_cast<const unsigned char *>(&rgb);
    int darkest = 0;
    for (int i = 1; i < 3; ++i) {
        if (bytes[i] < bytes[darkest])
            darkest = i;
    }
    return darkest;
}

// The blur of an image painted over the opaque fill colour.
QImage &blurred(RenderBuffers &buffers, const QImage &source, QRgb fill, int radius)
{
    QImage &target = buffers.image(RenderBuffers::Blurred, source.size(), QImage::Format_RGB32);
    CvImageAdapter::boxBlurOverFill(source, fill, radius, target);
    return target;
}

} // namespace

RenderPass::RenderPass(const RenderPlan &plan, const Circuit &circuit, const GeneratorSettings &settings,
                       const RenderMetrics &metrics, RenderLayer layer)
    : m_plan(plan)
    , m_circuit(circuit)
    , m_settings(settings)
    , m_metrics(metrics)
    , m_layer(layer)
    , m_palette(settings, layer)
{ }

int RenderPass::glowRadius() const
{
    return m_metrics.signalGlow();
}

int RenderPass::dotGlowRadius() const
{
    return int(glowRadius() / 1.5);
}

int RenderPass::margin() const
{
    if (m_layer != Composite)
        return 0;
    // The shadow blur has radius 3; the glow blurs at most g.
    return std::max(3, glowRadius());
}

bool RenderPass::needsRanges() const
{
    return m_layer == Composite && (m_settings.wireShadow > 0 || glowRadius() >= 1);
}

void RenderPass::run(QImage &work, int workTop, RenderBuffers &buffers, const BlurRanges *ranges) const
{
    paint(work, workTop, buffers, ranges, true);
}

void RenderPass::runStillParts(QImage &canvas, RenderBuffers &buffers) const
{
    paint(canvas, 0, buffers, nullptr, false);
}

void RenderPass::composeSignalGlow(QImage &canvas, RenderBuffers &buffers) const
{
    const Area area {0, canvas.height()};
    CanvasWindow window(canvas, 0, m_metrics.height());
    QPainter painter;
    window.begin(painter);
    painter.setRenderHints(kMainRenderHints);
    paintSignals(buffers, area);
    drawSignalGlow(Main {painter, canvas, 0}, buffers, nullptr);
}

void RenderPass::dotGlowLayers(RenderBuffers &buffers, const LayerUse &use) const
{
    forEachDotGlowLayer(buffers, nullptr, use);
}

void RenderPass::paint(QImage &work, int workTop, RenderBuffers &buffers, const BlurRanges *ranges, bool withGlow) const
{
    const Area area {workTop, work.height()};
    CanvasWindow window(work, workTop, m_metrics.height());
    QPainter painter;
    window.begin(painter);
    painter.setRenderHints(kMainRenderHints);
    const Main main {painter, work, workTop};
    painter.fillRect(QRect(0, 0, m_metrics.width(), m_metrics.height()), m_palette.background());
    if (m_settings.wireShadow > 0 && m_layer == Composite)
        drawShadow(main, area, buffers, ranges);
    paintSignals(buffers, area);
    paintGlowDots(buffers, area);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintWiresAndDots(painter, area);
    paintChips(painter, area);
    compose(main, area, buffers);
    if (withGlow && m_layer == Composite)
        drawGlow(main, buffers, ranges);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

BlurRanges RenderPass::measure(int workTop, int workHeight, int firstRow, int rowCount, RenderBuffers &buffers) const
{
    BlurRanges result;
    if (!needsRanges())
        return result;
    const Area area {workTop, workHeight};
    const int offset = firstRow - workTop;
    // The shadow, signal and glow painters draw without antialiasing, so
    // every pixel is either the background or the one paint colour, all
    // opaque: the blurred maximum is the alpha channel's 255, and the
    // minimum lies in the colour channel nearest black; blurring that one
    // channel finds it at a quarter of the cost.
    auto measureBlur = [&](const QImage &image, int radius, BlurRanges::Image which, int channel) {
        BlurRanges::Range &range = result.ranges[which];
        range.low = CvImageAdapter::channelBlurMinimum(
                image, channel, radius, offset, rowCount,
                buffers.image(RenderBuffers::Blurred, image.size(), QImage::Format_Grayscale8));
        range.high = 255;
    };
    const QColor signalColor = m_palette.signal();
    const int signalChannel = darkestChannel(signalColor);
    // A blur with a black pixel has the range 0 .. 255: a colour channel that
    // is zero, or a square of the blur's size that nothing is painted into,
    // settles it without painting.
    const bool blackChannel = std::min({signalColor.red(), signalColor.green(), signalColor.blue()}) == 0;
    auto settled = [&](bool ofSignals, int radius, BlurRanges::Image which) {
        if (!blackChannel
            && !m_plan.hasEmptySquare(ofSignals, RenderMetrics::truncated(m_metrics.dotRadius()), 2 * radius + 1,
                                      m_metrics.width(), m_metrics.height()))
            return false;
        result.ranges[which].low = 0;
        result.ranges[which].high = 255;
        return true;
    };
    if (m_settings.wireShadow > 0) {
        measureBlur(paintShadow(buffers, area), 3, BlurRanges::Shadow, 0);
    }
    const int g = glowRadius();
    if (g >= 1) {
        const bool wide = settled(true, g, BlurRanges::Signal);
        const bool half = g == 1 || settled(true, g >> 1, BlurRanges::SignalHalf);
        if (!wide || !half) {
            const QImage &signal = paintSignals(buffers, area);
            if (!wide)
                measureBlur(signal, g, BlurRanges::Signal, signalChannel);
            if (!half)
                measureBlur(signal, g >> 1, BlurRanges::SignalHalf, signalChannel);
        }
    }
    if (g >= 2) {
        const int g2 = dotGlowRadius();
        const bool wide = settled(false, g2, BlurRanges::Glow);
        const bool half = g2 <= 1 || settled(false, g2 >> 1, BlurRanges::GlowHalf);
        if (!wide || !half) {
            const QImage &glow = paintGlowDots(buffers, area);
            if (!wide)
                measureBlur(glow, g2, BlurRanges::Glow, signalChannel);
            if (!half)
                measureBlur(glow, g2 >> 1, BlurRanges::GlowHalf, signalChannel);
        }
    }
    return result;
}

QImage &RenderPass::paintShadow(RenderBuffers &buffers, const Area &area) const
{
    const int grey = RenderMetrics::truncated(255.0f - m_settings.wireShadow * 80.0f);
    const QColor shadowColor = LayerPalette::opaqueColor(grey, grey, grey);
    const QBrush shadowBrush(shadowColor);
    QImage &shadow = filledImage(buffers, RenderBuffers::Shadow, QSize(m_metrics.width(), area.height), Qt::white);
    CanvasWindow window(shadow, area.top, m_metrics.height());
    QPainter painter;
    window.begin(painter);
    const double r = m_metrics.dotRadius();
    const int k = RenderMetrics::truncated(r);
    const int bottom = area.top + area.height;
    for (const RenderPlan::WireItem &wire : m_plan.wires()) {
        if (wire.shadowStroke) {
            for (const RenderPlan::Stroke &lane : wire.lanes) {
                if (!RenderPlan::touches(lane, area.top, bottom))
                    continue;
                painter.setPen(wirePen(shadowColor, lane.penWidth));
                painter.setBrush(Qt::NoBrush);
                painter.drawPath(lane.geometry.toPainterPath());
            }
        }
        for (const QPoint &point : wire.shadowDots) {
            if (RenderPlan::discTouches(point, k, area.top, bottom))
                drawDot(painter, point, shadowBrush, QBrush(), QBrush(), r, 0, 0);
        }
    }
    return shadow;
}

QImage &RenderPass::paintSignals(RenderBuffers &buffers, const Area &area) const
{
    QImage &signal = filledImage(buffers, RenderBuffers::Signal, QSize(m_metrics.width(), area.height), Qt::black);
    CanvasWindow window(signal, area.top, m_metrics.height());
    QPainter painter;
    window.begin(painter);
    const int bottom = area.top + area.height;
    for (const RenderPlan::Stroke &stroke : m_plan.signalStrokes()) {
        if (!RenderPlan::touches(stroke, area.top, bottom))
            continue;
        painter.setPen(wirePen(m_palette.signal(), stroke.penWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(stroke.geometry.toPainterPath());
    }
    return signal;
}

QImage &RenderPass::paintGlowDots(RenderBuffers &buffers, const Area &area) const
{
    QImage &glow = filledImage(buffers, RenderBuffers::Glow, QSize(m_metrics.width(), area.height), Qt::black);
    CanvasWindow window(glow, area.top, m_metrics.height());
    QPainter painter;
    window.begin(painter);
    const QBrush signalBrush(m_palette.signal());
    const double r = m_metrics.dotRadius();
    const int k = RenderMetrics::truncated(r);
    const int bottom = area.top + area.height;
    for (const RenderPlan::WireItem &wire : m_plan.wires()) {
        for (const WireDots::Dot &dot : wire.dots) {
            if (dot.glow && RenderPlan::discTouches(dot.centre, k, area.top, bottom))
                drawDot(painter, dot.centre, signalBrush, QBrush(), QBrush(), r, 0, 0);
        }
    }
    return glow;
}

void RenderPass::paintWiresAndDots(QPainter &main, const Area &area) const
{
    const QBrush wireBrush(m_palette.wire());
    const QBrush backgroundBrush(m_palette.background());
    const QBrush holeBrush(m_palette.hole());
    const double r = m_metrics.dotRadius();
    const double rh = m_metrics.holeRadius();
    const double ri = m_metrics.innerRadius();
    const int k = RenderMetrics::truncated(r);
    const int bottom = area.top + area.height;
    for (const RenderPlan::WireItem &wire : m_plan.wires()) {
        if (wire.mainStroke) {
            for (const RenderPlan::Stroke &lane : wire.lanes) {
                if (!RenderPlan::touches(lane, area.top, bottom))
                    continue;
                main.setPen(wirePen(m_palette.wire(), lane.penWidth));
                main.setBrush(Qt::NoBrush);
                main.drawPath(lane.geometry.toPainterPath());
            }
        }
        for (const WireDots::Dot &dot : wire.dots) {
            if (dot.pad && RenderPlan::discTouches(dot.centre, k, area.top, bottom))
                drawDot(main, dot.centre, wireBrush, backgroundBrush, holeBrush, r, rh, ri);
        }
    }
}

void RenderPass::paintChips(QPainter &main, const Area &area) const
{
    if (!isLayer(Composite, Components))
        return;
    const double c = m_metrics.cellSize();
    for (const ChipPlacement &chip : m_circuit.chips()) {
        // Pins reach one cell beyond the body's rows.
        const double top = (chip.rowStart - 1.5) * c - 2;
        const double bottom = (chip.rowEnd + 2.5) * c + 2;
        if (bottom >= area.top && top <= area.top + area.height)
            drawChip(main, chip);
    }
}

void RenderPass::drawShadow(const Main &main, const Area &area, RenderBuffers &buffers, const BlurRanges *ranges) const
{
    main.painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    QImage &shade = blurred(buffers, paintShadow(buffers, area), qRgb(255, 255, 255), 3);
    BlurRanges::Range range;
    if (ranges)
        range = ranges->ranges[BlurRanges::Shadow];
    else
        CvImageAdapter::valueRange(shade, 0, area.height, &range.low, &range.high);
    // With nothing drawn the blurred shadow has no range, and stretching it
    // would turn the whole canvas black; there is nothing to shade then.
    if (!(range.high > range.low))
        return;
    CvImageAdapter::stretch(shade, range.low, range.high);
    drawOnRows(main, shade);
}

void RenderPass::compose(const Main &main, const Area &area, RenderBuffers &buffers) const
{
    switch (m_layer) {
    case Composite:
        if (m_settings.vignetting > 0)
            drawVignette(main, area, buffers);
        break;
    case Signals:
        main.painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        drawOnRows(main, buffers.current(RenderBuffers::Signal));
        break;
    case DotSignals:
        main.painter.setCompositionMode(QPainter::CompositionMode_Screen);
        drawOnRows(main, buffers.current(RenderBuffers::Glow));
        break;
    case Wires:
    case Dots:
    case Components:
        break;
    }
}

void RenderPass::drawVignette(const Main &main, const Area &area, RenderBuffers &buffers) const
{
    const int v = RenderMetrics::truncated(128.0f * m_settings.vignetting);
    const int inner = std::min(v + 127, 255);
    const int outer = std::max(127 - v, 0);
    const int w = m_metrics.width();
    const int h = m_metrics.height();
    // The shadow is composed by now; its buffer takes the vignette.
    QImage &vignette = filledImage(buffers, RenderBuffers::Shadow, QSize(w, area.height), Qt::black);
    {
        CanvasWindow window(vignette, area.top, m_metrics.height());
        QPainter painter;
        window.begin(painter);
        // The squares in double: w × w overflows an int past 46,340 pixels.
        QRadialGradient gradient(QPointF(w / 2, h / 2), 0.5 * std::sqrt(double(w) * w + double(h) * h));
        gradient.setColorAt(0, QColor(inner, inner, inner));
        gradient.setColorAt(1.0, QColor(outer, outer, outer));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawRect(0, 0, w, h);
    }
    main.painter.setCompositionMode(QPainter::CompositionMode_Overlay);
    drawOnRows(main, vignette);
}

void RenderPass::drawGlow(const Main &main, RenderBuffers &buffers, const BlurRanges *ranges) const
{
    drawSignalGlow(main, buffers, ranges);
    forEachDotGlowLayer(buffers, ranges, [&main](const QImage &image, QPainter::CompositionMode mode) {
        main.painter.setCompositionMode(mode);
        drawOnRows(main, image);
    });
}

void RenderPass::drawSignalGlow(const Main &main, RenderBuffers &buffers, const BlurRanges *ranges) const
{
    const QImage &signal = buffers.current(RenderBuffers::Signal);
    const int g = glowRadius();
    main.painter.setCompositionMode(QPainter::CompositionMode_ColorDodge);
    if (g < 1) {
        drawOnRows(main, signal);
    } else {
        drawBlurred(main, signal, g, buffers, ranges, BlurRanges::Signal);
        if (g != 1)
            drawBlurred(main, signal, g >> 1, buffers, ranges, BlurRanges::SignalHalf);
    }
}

void RenderPass::forEachDotGlowLayer(RenderBuffers &buffers, const BlurRanges *ranges, const LayerUse &use) const
{
    const QImage &glow = buffers.current(RenderBuffers::Glow);
    const int g = glowRadius();
    if (g < 2) {
        use(glow, QPainter::CompositionMode_Screen);
        return;
    }
    const int g2 = dotGlowRadius();
    use(stretchedBlur(glow, g2, buffers, ranges, BlurRanges::Glow), QPainter::CompositionMode_Screen);
    if (g2 > 1)
        use(stretchedBlur(glow, g2 >> 1, buffers, ranges, BlurRanges::GlowHalf), QPainter::CompositionMode_ColorDodge);
}

void RenderPass::drawBlurred(const Main &main, const QImage &image, int radius, RenderBuffers &buffers,
                             const BlurRanges *ranges, BlurRanges::Image which) const
{
    drawOnRows(main, stretchedBlur(image, radius, buffers, ranges, which));
}

const QImage &RenderPass::stretchedBlur(const QImage &image, int radius, RenderBuffers &buffers,
                                        const BlurRanges *ranges, BlurRanges::Image which)
{
    // The signal and glow images are painted over black.
    QImage &result = blurred(buffers, image, qRgb(0, 0, 0), radius);
    BlurRanges::Range range;
    if (ranges)
        range = ranges->ranges[which];
    else
        CvImageAdapter::valueRange(result, 0, result.height(), &range.low, &range.high);
    CvImageAdapter::stretch(result, range.low, range.high);
    return result;
}

void RenderPass::drawOnRows(const Main &main, const QImage &image)
{
    // The blend modes through QPainter's own per-channel results, several
    // times faster than its general composition code.
    if (ImageBlender::compose(main.rows, image, main.painter.compositionMode()))
        return;
    main.painter.drawImage(0, main.top, image);
}

QPen RenderPass::wirePen(const QColor &color, double width) const
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
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
        painter.setPen(Qt::NoPen);
        painter.setBrush(brush);
        painter.drawEllipse(QRect(centre.x() - k, centre.y() - k, 2 * k, 2 * k));
    };
    disc(brush1, r1);
    if (!(r2 < r1 && r2 > 0))
        return;
    if (r3 < r2)
        disc(brush2, r2);
    if (r3 > 0)
        disc(brush3, r3);
}
