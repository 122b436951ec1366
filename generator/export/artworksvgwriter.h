// ArtworkSvgWriter: an artwork or plotter drawing as an SVG document whose layers are named
// groups that vector editors and plotter software recognise, written shape by shape.
#pragma once

#include "vectordrawing.h"

#include <QRectF>
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
        // The part of the canvas plane the document shows, in canvas pixels (a sheet with
        // margins reaches past the canvas); the canvas when empty.
        QRectF viewBox;
    };

    // Every layer of the drawing, the background unless left out.
    static void write(const VectorDrawing &drawing, const Options &options, ByteSink &out);
    // One layer alone, on a transparent background.
    static void writeLayer(const VectorDrawing &drawing, int layer, const Options &options, ByteSink &out);

private:
    static void header(const VectorDrawing &drawing, const Options &options, ByteSink &out);
    static void group(const VectorDrawing &drawing, const VectorDrawing::Layer &layer, ByteSink &out);
    static void shape(const VectorDrawing::Shape &shape, ByteSink &out);
};
