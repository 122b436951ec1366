// ArtworkPdfWriter: an artwork or plotter drawing as vector paths on one PDF page, written
// and compressed shape by shape. Each layer of the drawing is an optional content group, so
// that viewers and print software can show, hide and print the layers apart.
#pragma once

#include "pagegeometry.h"

#include <QByteArray>
#include <QString>

class ByteSink;
class QPainterPath;
class VectorDrawing;

class ArtworkPdfWriter
{
public:
    struct Page {
        // The sheet and where the drawing lies on it (A3 is 841.89 x 1190.55 points).
        PageGeometry geometry;
        // The background layer, unless left out; with a bleed it covers the whole sheet.
        bool background = true;
        // The document's title; none when empty.
        QString title;
    };

    // One page: media box the sheet, trim box the paper, bleed box the sheet. Strokes as in
    // SVG: butt caps, mitred joins, round ones for a pen's paths. The same drawing always
    // gives the same bytes.
    static void write(const VectorDrawing &drawing, const Page &page, ByteSink &out);
    // The same document in memory.
    static QByteArray document(const VectorDrawing &drawing, const Page &page);

    // A number as PDF text: fixed point, at most `decimals` places, no trailing zeros.
    static QByteArray number(double value, int decimals = 3);
    // A text string: literal when printable ASCII, else UTF-16 with its byte-order mark.
    static QByteArray textString(const QString &text);

private:
    static void content(const VectorDrawing &drawing, const Page &page, ByteSink &out);
    static void pathOperators(const QPainterPath &path, ByteSink &out);
};
