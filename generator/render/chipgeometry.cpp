#include "chipgeometry.h"

#include "circuit.h"

const QColor ChipGeometry::kPinColor(255, 255, 255);
const QColor ChipGeometry::kBodyColor(30, 30, 30);

QVector<QRectF> ChipGeometry::pinPairs(const ChipPlacement &chip, double c)
{
    QVector<QRectF> pins;
    if (chip.pinsTopBottom) {
        for (int i = chip.colStart; i <= chip.colEnd; ++i) {
            pins.append(QRectF((i + 0.3) * c, (chip.rowStart - 1 + 0.1) * c, 0.4 * c, 1.1 * c));
            pins.append(QRectF((i + 0.3) * c, (chip.rowEnd + 2 - 1.2) * c, 0.4 * c, 1.1 * c));
        }
    }
    if (chip.pinsLeftRight) {
        for (int j = chip.rowStart; j <= chip.rowEnd; ++j) {
            pins.append(QRectF((chip.colStart - 1 + 0.1) * c, (j + 0.3) * c, 1.1 * c, 0.4 * c));
            pins.append(QRectF((chip.colEnd + 2 - 1.2) * c, (j + 0.3) * c, 1.1 * c, 0.4 * c));
        }
    }
    return pins;
}

QRectF ChipGeometry::body(const ChipPlacement &chip, double c)
{
    return QRectF((chip.colStart - 0.2) * c, (chip.rowStart - 0.2) * c, (chip.colEnd - chip.colStart + 1 + 0.4) * c,
                  (chip.rowEnd - chip.rowStart + 1 + 0.4) * c);
}
