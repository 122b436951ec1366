// ArtworkSvgWriter: an artwork drawing as an SVG document whose layers are named groups
// that vector editors and plotter software recognise, written shape by shape.
#pragma once

#include "artworkdrawing.h"

#include <QSizeF>

class ByteSink;

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
    static void write(const ArtworkDrawing &drawing, const Options &options, ByteSink &out);
    // One layer alone, on a transparent background.
    static void writeLayer(const ArtworkDrawing &drawing, RenderLayer layer, const Options &options, ByteSink &out);

private:
    static void header(const ArtworkDrawing &drawing, const Options &options, ByteSink &out);
    static void group(const ArtworkDrawing &drawing, const ArtworkDrawing::Layer &layer, ByteSink &out);
    static void shape(const ArtworkDrawing::Shape &shape, ByteSink &out);
};
