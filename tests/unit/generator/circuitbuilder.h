#pragma once

#include "circuit.h"

#include <QPoint>
#include <QVector>

#include <memory>

// Builds circuits wire by wire for tests, without the generator: each cell's
// direction is the step by which the wire entered it, the first cell's that of
// the first step.
class CircuitBuilder
{
public:
    CircuitBuilder(int columns, int rows);

    Circuit &circuit() { return *m_circuit; }

    // A wire through the given neighbouring cells, with the given lane count,
    // no signal and thickness factor 1.
    Wire &addWire(const QVector<QPoint> &cells, int density = 1);
    // Gives the wire lane ends at cells a and b, found with the given side's tables.
    void setLaneEnds(Wire &wire, const QPoint &a, const QPoint &b, int laneSide);

    // The direction code of the step from a to its neighbour b.
    static int directionOf(const QPoint &a, const QPoint &b);

private:
    std::unique_ptr<Circuit> m_circuit;
};
