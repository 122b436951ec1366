// ArtworkPdfWriter: an artwork drawing as vector paths on one PDF page, written and
// compressed shape by shape.
#pragma once

#include <QByteArray>
#include <QSizeF>

class ArtworkDrawing;
class ByteSink;
class QPainterPath;

class ArtworkPdfWriter
{
public:
    // A page of exactly pageMm (A3 is 841.89 x 1190.55 points) with the drawing centred and
    // fitted, its aspect kept; the background unless left out. Strokes as in SVG: butt caps,
    // mitred joins. The same drawing always gives the same bytes.
    static void write(const ArtworkDrawing &drawing, const QSizeF &pageMm, bool background, ByteSink &out);
    // The same document in memory.
    static QByteArray document(const ArtworkDrawing &drawing, const QSizeF &pageMm, bool background);

    // A number as PDF text: fixed point, at most `decimals` places, no trailing zeros.
    static QByteArray number(double value, int decimals = 3);

private:
    static void content(const ArtworkDrawing &drawing, const QSizeF &pagePoints, bool background, ByteSink &out);
    static void pathOperators(const QPainterPath &path, ByteSink &out);
};
