// ChipGeometry: the shapes of a drawn chip, shared by the raster renderer and the vector
// exports so that both draw the same chip.
#pragma once

#include <QColor>
#include <QRectF>
#include <QVector>

struct ChipPlacement;

class ChipGeometry
{
public:
    static const QColor kPinColor;
    static const QColor kBodyColor;

    // The pins in pairs (top and bottom of a column, then left and right of a row):
    // entries 2k and 2k + 1 belong together. Cell size c.
    static QVector<QRectF> pinPairs(const ChipPlacement &chip, double c);
    static double pinCorner(double c) { return 0.2 * c; }
    // The body, drawn over the inner ends of the pins.
    static QRectF body(const ChipPlacement &chip, double c);
    static double bodyCorner(double c) { return 0.5 * c; }
};
