// ArtworkSvgWriter: an artwork drawing as an SVG document whose layers are named groups
// that vector editors and plotter software recognise.
#pragma once

#include "artworkdrawing.h"

#include <QSizeF>
#include <QString>

class ArtworkSvgWriter
{
public:
    struct Options {
        bool background = true;
        // width and height attributes in millimetres; none when empty. The viewBox
        // always stays in canvas pixels.
        QSizeF physicalMm;
    };

    // Every layer of the drawing, the background unless left out.
    static QString document(const ArtworkDrawing &drawing, const Options &options);
    // One layer alone, on a transparent background.
    static QString layerDocument(const ArtworkDrawing &drawing, RenderLayer layer, const Options &options);

private:
    static QString header(const ArtworkDrawing &drawing, const Options &options);
    static QString group(const ArtworkDrawing::Layer &layer);
};
