#include "artworksvgwriter.h"

#include "bytesink.h"
#include "svgwriter.h"

#include <QRegularExpression>

void ArtworkSvgWriter::write(const VectorDrawing &drawing, const Options &options, ByteSink &out)
{
    header(drawing, options, out);
    for (const VectorDrawing::Layer &layer : drawing.layerList()) {
        if (!layer.background || options.background)
            group(drawing, layer, out);
    }
    out.append("</svg>\n");
}

void ArtworkSvgWriter::writeLayer(const VectorDrawing &drawing, int layer, const Options &options, ByteSink &out)
{
    header(drawing, options, out);
    for (const VectorDrawing::Layer &l : drawing.layerList()) {
        if (l.id == layer)
            group(drawing, l, out);
    }
    out.append("</svg>\n");
}

void ArtworkSvgWriter::header(const VectorDrawing &drawing, const Options &options, ByteSink &out)
{
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" "
               "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"");
    if (!options.physicalMm.isEmpty()) {
        out.append(" width=\"");
        out.appendGeneral(options.physicalMm.width());
        out.append("mm\" height=\"");
        out.appendGeneral(options.physicalMm.height());
        // Editors then show and measure the sheet in the units it was asked in.
        out.append("mm\" inkscape:document-units=\"mm\"");
    }
    out.append(" viewBox=\"");
    if (options.viewBox.isEmpty()) {
        out.append("0 0 ");
        out.appendInteger(drawing.width());
        out.append(' ');
        out.appendInteger(drawing.height());
    } else {
        const QRectF &box = options.viewBox;
        for (double value : {box.x(), box.y(), box.width(), box.height()}) {
            if (value != box.x())
                out.append(' ');
            out.appendGeneral(value);
        }
    }
    out.append("\">\n");
}

void ArtworkSvgWriter::group(const VectorDrawing &drawing, const VectorDrawing::Layer &layer, ByteSink &out)
{
    out.append("<g inkscape:groupmode=\"layer\" inkscape:label=\"");
    out.append(layer.label.toUtf8());
    out.append("\" id=\"layer-");
    // An XML name: the label's words, lower case, joined by hyphens.
    out.append(layer.label.toLower().split(QRegularExpression(QStringLiteral("[^a-z0-9]+")), Qt::SkipEmptyParts)
                       .join(QLatin1Char('-'))
                       .toUtf8());
    out.append("\">\n");
    drawing.visit(layer.id, [&out](const VectorDrawing::Shape &s) {
        shape(s, out);
        return out.ok();
    });
    out.append("</g>\n");
}

void ArtworkSvgWriter::shape(const VectorDrawing::Shape &shape, ByteSink &out)
{
    const auto attribute = [&out](const char *name, double value) {
        out.append(' ');
        out.append(name, qstrlen(name));
        out.append("=\"");
        out.appendGeneral(value);
        out.append('"');
    };
    switch (shape.kind) {
    case VectorDrawing::Shape::Lane:
        SvgWriter::appendPathElement(*shape.lane, shape.color, shape.strokeWidth, out);
        return;
    case VectorDrawing::Shape::Polyline:
        out.append("<path d=\"");
        for (int i = 0; i < shape.points->size(); ++i) {
            out.append(i == 0 ? "M " : "L ");
            out.appendGeneral(shape.points->at(i).x());
            out.append(' ');
            out.appendGeneral(shape.points->at(i).y());
            out.append(' ');
        }
        out.append('"');
        break;
    case VectorDrawing::Shape::Disc:
        out.append("<circle");
        attribute("cx", shape.centre.x());
        attribute("cy", shape.centre.y());
        attribute("r", shape.radius);
        break;
    case VectorDrawing::Shape::RoundedRect:
        out.append("<rect");
        attribute("x", shape.rect.x());
        attribute("y", shape.rect.y());
        attribute("width", shape.rect.width());
        attribute("height", shape.rect.height());
        attribute("rx", shape.radius);
        attribute("ry", shape.radius);
        break;
    }
    if (shape.strokeWidth > 0) {
        out.append(" fill=\"none\" stroke=\"");
        SvgWriter::appendColor(shape.color, out);
        out.append('"');
        attribute("stroke-width", shape.strokeWidth);
        if (shape.pen)
            out.append(" stroke-linecap=\"round\" stroke-linejoin=\"round\"");
        out.append(" />\n");
        return;
    }
    out.append(" fill=\"");
    SvgWriter::appendColor(shape.color, out);
    out.append("\" />\n");
}
