// ArtworkPdfWriter: an artwork drawing as vector paths on one PDF page.
#pragma once

#include <QByteArray>
#include <QSizeF>

class ArtworkDrawing;
class QPainterPath;

class ArtworkPdfWriter
{
public:
    // A page of exactly pageMm (A3 is 841.89 x 1190.55 points) with the drawing centred and
    // fitted, its aspect kept; the background unless left out. Strokes as in SVG: butt caps,
    // mitred joins. The same drawing always gives the same bytes.
    static QByteArray document(const ArtworkDrawing &drawing, const QSizeF &pageMm, bool background);

    // A number as PDF text: fixed point, at most `decimals` places, no trailing zeros.
    static QByteArray number(double value, int decimals = 3);

private:
    static QByteArray content(const ArtworkDrawing &drawing, const QSizeF &pagePoints, bool background);
    static QByteArray pathOperators(const QPainterPath &path);
};
