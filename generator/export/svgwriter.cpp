#include "svgwriter.h"

#include "artworkscene.h"
#include "bytesink.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "lanepath.h"
#include "layerpalette.h"
#include "numbertext.h"
#include "rendermetrics.h"
#include "signalstretch.h"
#include "wiredots.h"

namespace {

// What an appender wrote into memory, as text.
template<typename Append>
QString textOf(Append append)
{
    QByteArray bytes;
    ByteSink sink(bytes);
    append(sink);
    sink.flush();
    return QString::fromLatin1(bytes);
}

} // namespace

QString SvgWriter::svgDocument(const ArtworkScene &scene, const GeneratorSettings &settings, RenderLayer layer)
{
    return textOf([&](ByteSink &out) { write(scene, settings, layer, out); });
}

void SvgWriter::write(const ArtworkScene &scene, const GeneratorSettings &settings, RenderLayer layer, ByteSink &out)
{
    const RenderMetrics metrics(settings, 1.0f);
    const LayerPalette palette(settings, layer);
    out.append("<svg viewBox=\"0 0 ");
    out.appendInteger(settings.width);
    out.append(' ');
    out.appendInteger(settings.height);
    out.append("\" xmlns=\"http://www.w3.org/2000/svg\">\n<rect x=\"0\" y=\"0\" width=\"");
    out.appendInteger(settings.width);
    out.append("\" height=\"");
    out.appendInteger(settings.height);
    out.append("\" style=\"fill:");
    appendColor(palette.background(), out);
    out.append(";\" />\n");
    const auto &wires = scene.circuit().wires();
    for (size_t index = 0; index < wires.size() && out.ok(); ++index) {
        const Wire &wire = *wires[index];
        if (wire.removed)
            continue;
        if (wire.cells.size() >= 2 && (layer == Composite || layer == Wires))
            appendWireElements(wire, settings, metrics, palette.wire(), out);
        appendDots(scene, index, metrics, layer, palette, false, out);
    }
    // The glowing dots come after every wire and pad, so they are a second pass.
    for (size_t index = 0; index < wires.size() && out.ok(); ++index) {
        if (!wires[index]->removed)
            appendDots(scene, index, metrics, layer, palette, true, out);
    }
    if (layer == Composite || layer == Signals) {
        for (size_t index = 0; index < wires.size() && out.ok(); ++index)
            appendSignalElements(scene, index, settings, metrics, palette.signal(), out);
    }
    out.append("</svg>\n");
}

void SvgWriter::appendWireElements(const Wire &wire, const GeneratorSettings &settings, const RenderMetrics &metrics,
                                   const QColor &color, ByteSink &out)
{
    const double width = metrics.strokeWidth(wire.thickness, wire.density);
    if (wire.cells.size() == 2) {
        const QPointF a = metrics.exactCentre(wire.cells[0]->x, wire.cells[0]->y);
        const QPointF b = metrics.exactCentre(wire.cells[1]->x, wire.cells[1]->y);
        out.append("<path d=\"M ");
        out.appendGeneral(a.x());
        out.append(' ');
        out.appendGeneral(a.y());
        out.append(" L ");
        out.appendGeneral(b.x());
        out.append(' ');
        out.appendGeneral(b.y());
        appendPathStyle(color, width, out);
        return;
    }
    const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
    for (int lane = 0; lane < wire.density; ++lane)
        appendPathElement(geometry.lanePath(lane), color, width, out);
}

void SvgWriter::appendDots(const ArtworkScene &scene, size_t index, const RenderMetrics &metrics, RenderLayer layer,
                           const LayerPalette &palette, bool glow, ByteSink &out)
{
    const double r = metrics.dotRadius();
    const auto dots = WireDots::of(scene, index, metrics, layer);
    for (const WireDots::Dot &dot : dots) {
        if (glow && dot.glow)
            appendDotElements(dot.centre, palette.signal(), QColor(), r, 0, 0, out);
        else if (!glow && dot.pad)
            appendDotElements(dot.centre, palette.wire(), palette.hole(), r, metrics.holeRadius(),
                              metrics.innerRadius(), out);
    }
}

void SvgWriter::appendSignalElements(const ArtworkScene &scene, size_t index, const GeneratorSettings &settings,
                                     const RenderMetrics &metrics, const QColor &color, ByteSink &out)
{
    const int lanes = scene.signalCount(index);
    if (lanes == 0)
        return;
    const Wire &wire = *scene.circuit().wires()[index];
    const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
    const double width = metrics.strokeWidth(wire.thickness, wire.density);
    for (int lane = 0; lane < lanes; ++lane) {
        const SignalStretch &stretch = scene.signal(index, lane);
        if (stretch.isWrittenToSvg())
            appendPathElement(geometry.lanePath(lane, stretch.start(), stretch.end()), color, width, out);
    }
}

QString SvgWriter::number(double value)
{
    char text[NumberText::kMaxLength];
    return QString::fromLatin1(text, NumberText::general(value, text));
}

QString SvgWriter::colorName(const QColor &color)
{
    return textOf([&](ByteSink &out) { appendColor(color, out); });
}

void SvgWriter::appendColor(const QColor &color, ByteSink &out)
{
    static const char digits[] = "0123456789abcdef";
    const int channels[] = {color.red(), color.green(), color.blue()};
    char text[7] = {'#'};
    for (int i = 0; i < 3; ++i) {
        text[1 + 2 * i] = digits[(channels[i] >> 4) & 15];
        text[2 + 2 * i] = digits[channels[i] & 15];
    }
    out.append(text, 7);
}

QString SvgWriter::pathData(const LanePath &path)
{
    return textOf([&](ByteSink &out) { appendPathData(path, out); });
}

void SvgWriter::appendPathData(const LanePath &path, ByteSink &out)
{
    static const char letters[] = {'M', 'L', 'Q'};
    for (const LanePath::Command &command : path.commands()) {
        out.append(letters[command.kind]);
        out.append(' ');
        if (command.kind == LanePath::QuadTo) {
            out.appendGeneral(command.control.x());
            out.append(' ');
            out.appendGeneral(command.control.y());
            out.append(' ');
        }
        // Whole-pixel points are written as integers, whatever their size.
        if (command.integral) {
            out.appendInteger(static_cast<long long>(command.point.x()));
            out.append(' ');
            out.appendInteger(static_cast<long long>(command.point.y()));
        } else {
            out.appendGeneral(command.point.x());
            out.append(' ');
            out.appendGeneral(command.point.y());
        }
        out.append(' ');
    }
}

QString SvgWriter::pathElement(const QString &data, const QColor &color, double strokeWidth)
{
    return textOf([&](ByteSink &out) {
        out.append("<path d=\"");
        out.append(data.toLatin1());
        appendPathStyle(color, strokeWidth, out);
    });
}

void SvgWriter::appendPathElement(const LanePath &path, const QColor &color, double strokeWidth, ByteSink &out)
{
    out.append("<path d=\"");
    appendPathData(path, out);
    appendPathStyle(color, strokeWidth, out);
}

void SvgWriter::appendPathStyle(const QColor &color, double strokeWidth, ByteSink &out)
{
    out.append("\" fill=\"none\" stroke=\"");
    appendColor(color, out);
    out.append("\" stroke-width=\"");
    out.appendGeneral(strokeWidth);
    out.append("\" />\n");
}

void SvgWriter::appendSolidCircle(const QPoint &centre, double radius, const QColor &color, ByteSink &out)
{
    out.append("<circle cx=\"");
    out.appendInteger(centre.x());
    out.append("\" cy=\"");
    out.appendInteger(centre.y());
    out.append("\" r=\"");
    out.appendGeneral(radius);
    out.append("\" fill=\"");
    appendColor(color, out);
    out.append("\" stroke-width=\"0\" />");
}

QString SvgWriter::dotElements(const QPoint &centre, const QColor &color1, const QColor &color3, double r1, double r2,
                               double r3)
{
    return textOf([&](ByteSink &out) { appendDotElements(centre, color1, color3, r1, r2, r3, out); });
}

void SvgWriter::appendDotElements(const QPoint &centre, const QColor &color1, const QColor &color3, double r1,
                                  double r2, double r3, ByteSink &out)
{
    if (r1 <= r2 || r1 <= 0)
        return;
    if (r2 == r3) {
        appendSolidCircle(centre, r1, color1, out);
    } else {
        const double ringWidth = r1 - r2;
        out.append("<circle cx=\"");
        out.appendInteger(centre.x());
        out.append("\" cy=\"");
        out.appendInteger(centre.y());
        out.append("\" r=\"");
        out.appendGeneral(r1 - ringWidth);
        out.append("\" stroke=\"");
        appendColor(color1, out);
        out.append("\" stroke-width=\"");
        out.appendGeneral(ringWidth);
        out.append("\" />");
    }
    if (r3 > 0)
        appendSolidCircle(centre, r3, color3, out);
}
