#include "artworksvgwriter.h"

#include "bytesink.h"
#include "svgwriter.h"

void ArtworkSvgWriter::write(const ArtworkDrawing &drawing, const Options &options, ByteSink &out)
{
    header(drawing, options, out);
    for (const ArtworkDrawing::Layer &layer : ArtworkDrawing::layers()) {
        if (layer.layer != Composite || options.background)
            group(drawing, layer, out);
    }
    out.append("</svg>\n");
}

void ArtworkSvgWriter::writeLayer(const ArtworkDrawing &drawing, RenderLayer layer, const Options &options,
                                  ByteSink &out)
{
    header(drawing, options, out);
    for (const ArtworkDrawing::Layer &l : ArtworkDrawing::layers()) {
        if (l.layer == layer)
            group(drawing, l, out);
    }
    out.append("</svg>\n");
}

void ArtworkSvgWriter::header(const ArtworkDrawing &drawing, const Options &options, ByteSink &out)
{
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" "
               "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"");
    if (!options.physicalMm.isEmpty()) {
        out.append(" width=\"");
        out.appendGeneral(options.physicalMm.width());
        out.append("mm\" height=\"");
        out.appendGeneral(options.physicalMm.height());
        out.append("mm\"");
    }
    out.append(" viewBox=\"0 0 ");
    out.appendInteger(drawing.width());
    out.append(' ');
    out.appendInteger(drawing.height());
    out.append("\">\n");
}

void ArtworkSvgWriter::group(const ArtworkDrawing &drawing, const ArtworkDrawing::Layer &layer, ByteSink &out)
{
    out.append("<g inkscape:groupmode=\"layer\" inkscape:label=\"");
    out.append(layer.label.toUtf8());
    out.append("\" id=\"layer-");
    out.append(QString(layer.label).replace(QLatin1Char(' '), QLatin1Char('-')).toLower().toUtf8());
    out.append("\">\n");
    drawing.visit(layer.layer, [&out](const ArtworkDrawing::Shape &s) {
        shape(s, out);
        return out.ok();
    });
    out.append("</g>\n");
}

void ArtworkSvgWriter::shape(const ArtworkDrawing::Shape &shape, ByteSink &out)
{
    const auto attribute = [&out](const char *name, double value) {
        out.append(' ');
        out.append(name, qstrlen(name));
        out.append("=\"");
        out.appendGeneral(value);
        out.append('"');
    };
    switch (shape.kind) {
    case ArtworkDrawing::Shape::Lane:
        SvgWriter::appendPathElement(*shape.lane, shape.color, shape.strokeWidth, out);
        return;
    case ArtworkDrawing::Shape::Disc:
        out.append("<circle");
        attribute("cx", shape.centre.x());
        attribute("cy", shape.centre.y());
        attribute("r", shape.radius);
        break;
    case ArtworkDrawing::Shape::RoundedRect:
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
        out.append(" />\n");
        return;
    }
    out.append(" fill=\"");
    SvgWriter::appendColor(shape.color, out);
    out.append("\" />\n");
}
