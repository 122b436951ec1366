#include "svgwriter.h"

#include "artworkscene.h"
#include "circuit.h"
#include "generatorsettings.h"
#include "lanegeometry.h"
#include "lanepath.h"
#include "layerpalette.h"
#include "rendermetrics.h"
#include "signalstretch.h"
#include "wiredots.h"

namespace {

const QString kNamespace = QStringLiteral("http://www.w3.org/2000/svg");

} // namespace

QString SvgWriter::svgDocument(const ArtworkScene &scene, const GeneratorSettings &settings, RenderLayer layer)
{
    const RenderMetrics metrics(settings, 1.0f);
    const LayerPalette palette(settings, layer);
    const QString width = QString::number(settings.width);
    const QString height = QString::number(settings.height);
    QString text = QStringLiteral("<svg viewBox=\"0 0 %1 %2\" xmlns=\"%3\">\n").arg(width, height, kNamespace);
    text += QStringLiteral("<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" style=\"fill:%3;\" />\n")
                    .arg(width, height, colorName(palette.background()));
    QString glowText;
    const auto &wires = scene.circuit().wires();
    for (size_t index = 0; index < wires.size(); ++index) {
        const Wire &wire = *wires[index];
        if (wire.removed)
            continue;
        if (wire.cells.size() >= 2 && (layer == Composite || layer == Wires))
            text += wireElements(wire, settings, metrics, palette.wire());
        text += dotElements(scene, index, metrics, layer, palette, glowText);
    }
    QString signalText;
    if (layer == Composite || layer == Signals) {
        for (size_t index = 0; index < wires.size(); ++index)
            signalText += signalElements(scene, index, settings, metrics, palette.signal());
    }
    return text + glowText + signalText + QStringLiteral("</svg>\n");
}

QString SvgWriter::wireElements(const Wire &wire, const GeneratorSettings &settings, const RenderMetrics &metrics,
                                const QColor &color)
{
    const double width = metrics.strokeWidth(wire.thickness, wire.density);
    if (wire.cells.size() == 2) {
        const QPointF a = metrics.exactCentre(wire.cells[0]->x, wire.cells[0]->y);
        const QPointF b = metrics.exactCentre(wire.cells[1]->x, wire.cells[1]->y);
        const QString data
                = QStringLiteral("M %1 %2 L %3 %4").arg(number(a.x()), number(a.y()), number(b.x()), number(b.y()));
        return pathElement(data, color, width);
    }
    const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
    QString text;
    for (int lane = 0; lane < wire.density; ++lane)
        text += pathElement(pathData(geometry.lanePath(lane)), color, width);
    return text;
}

QString SvgWriter::dotElements(const ArtworkScene &scene, size_t index, const RenderMetrics &metrics, RenderLayer layer,
                               const LayerPalette &palette, QString &glowText)
{
    const double r = metrics.dotRadius();
    QString text;
    const auto dots = WireDots::of(scene, index, metrics, layer);
    for (const WireDots::Dot &dot : dots) {
        if (dot.pad)
            text += dotElements(dot.centre, palette.wire(), palette.hole(), r, metrics.holeRadius(),
                                metrics.innerRadius());
        if (dot.glow)
            glowText += dotElements(dot.centre, palette.signal(), QColor(), r, 0, 0);
    }
    return text;
}

QString SvgWriter::signalElements(const ArtworkScene &scene, size_t index, const GeneratorSettings &settings,
                                  const RenderMetrics &metrics, const QColor &color)
{
    const int lanes = scene.signalCount(index);
    if (lanes == 0)
        return QString();
    const Wire &wire = *scene.circuit().wires()[index];
    const LaneGeometry geometry(wire, metrics.cellSize(), settings.wireThickness, settings.wireRoundness);
    const double width = metrics.strokeWidth(wire.thickness, wire.density);
    QString text;
    for (int lane = 0; lane < lanes; ++lane) {
        const SignalStretch &stretch = scene.signal(index, lane);
        if (stretch.isWrittenToSvg())
            text += pathElement(pathData(geometry.lanePath(lane, stretch.start(), stretch.end())), color, width);
    }
    return text;
}

QString SvgWriter::number(double value)
{
    return QString::number(value, 'g', 6);
}

QString SvgWriter::colorName(const QColor &color)
{
    return color.name(QColor::HexRgb);
}

QString SvgWriter::coordinate(double value, bool integral)
{
    return integral ? QString::number(static_cast<long long>(value)) : number(value);
}

QString SvgWriter::pathData(const LanePath &path)
{
    static const char *const letters[] = {"M ", "L ", "Q "};
    QString data;
    for (const LanePath::Command &command : path.commands()) {
        data += QLatin1String(letters[command.kind]);
        if (command.kind == LanePath::QuadTo)
            data += number(command.control.x()) + QLatin1Char(' ') + number(command.control.y()) + QLatin1Char(' ');
        data += coordinate(command.point.x(), command.integral) + QLatin1Char(' ')
                + coordinate(command.point.y(), command.integral) + QLatin1Char(' ');
    }
    return data;
}

QString SvgWriter::pathElement(const QString &data, const QColor &color, double strokeWidth)
{
    return QStringLiteral("<path d=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"%3\" />\n")
            .arg(data, colorName(color), number(strokeWidth));
}

QString SvgWriter::solidCircle(const QPoint &centre, double radius, const QColor &color)
{
    return QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" stroke-width=\"0\" />")
            .arg(QString::number(centre.x()), QString::number(centre.y()), number(radius), colorName(color));
}

QString SvgWriter::dotElements(const QPoint &centre, const QColor &color1, const QColor &color3, double r1, double r2,
                               double r3)
{
    if (r1 <= r2 || r1 <= 0)
        return QString();
    QString text;
    if (r2 == r3) {
        text = solidCircle(centre, r1, color1);
    } else {
        const double ringWidth = r1 - r2;
        const double ringRadius = r1 - ringWidth;
        text = QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" stroke=\"%4\" stroke-width=\"%5\" />")
                       .arg(QString::number(centre.x()), QString::number(centre.y()), number(ringRadius),
                            colorName(color1), number(ringWidth));
    }
    if (r3 > 0)
        text += solidCircle(centre, r3, color3);
    return text;
}
