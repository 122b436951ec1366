#include "artworksvgwriter.h"

#include "svgwriter.h"

QString ArtworkSvgWriter::document(const ArtworkDrawing &drawing, const Options &options)
{
    QString text = header(drawing, options);
    for (const ArtworkDrawing::Layer &layer : drawing.layers()) {
        if (layer.layer != Composite || options.background)
            text += group(layer);
    }
    return text + QStringLiteral("</svg>\n");
}

QString ArtworkSvgWriter::layerDocument(const ArtworkDrawing &drawing, RenderLayer layer, const Options &options)
{
    QString text = header(drawing, options);
    for (const ArtworkDrawing::Layer &l : drawing.layers()) {
        if (l.layer == layer)
            text += group(l);
    }
    return text + QStringLiteral("</svg>\n");
}

QString ArtworkSvgWriter::header(const ArtworkDrawing &drawing, const Options &options)
{
    QString size;
    if (!options.physicalMm.isEmpty()) {
        size = QStringLiteral(" width=\"%1mm\" height=\"%2mm\"")
                       .arg(SvgWriter::number(options.physicalMm.width()),
                            SvgWriter::number(options.physicalMm.height()));
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                          "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"%1 viewBox=\"0 0 %2 %3\">\n")
            .arg(size, QString::number(drawing.width()), QString::number(drawing.height()));
}

QString ArtworkSvgWriter::group(const ArtworkDrawing::Layer &layer)
{
    QString text
            = QStringLiteral("<g inkscape:groupmode=\"layer\" inkscape:label=\"%1\" id=\"layer-%2\">\n")
                      .arg(layer.label, QString(layer.label).replace(QLatin1Char(' '), QLatin1Char('-')).toLower());
    for (const ArtworkDrawing::Shape &shape : layer.shapes)
        text += shape.svg;
    return text + QStringLiteral("</g>\n");
}
