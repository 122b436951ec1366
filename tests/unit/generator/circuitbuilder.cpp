#include "circuitbuilder.h"

#include "randomstream.h"

CircuitBuilder::CircuitBuilder(int columns, int rows)
    : m_circuit(std::make_unique<Circuit>(columns, rows))
{ }

int CircuitBuilder::directionOf(const QPoint &a, const QPoint &b)
{
    for (int d = 0; d < 8; ++d) {
        if (kDirectionOffsets[d].dx == b.x() - a.x() && kDirectionOffsets[d].dy == b.y() - a.y())
            return d;
    }
    return -1;
}

Wire &CircuitBuilder::addWire(const QVector<QPoint> &cells, int density)
{
    QVector<int> directions;
    for (int k = 1; k < cells.size(); ++k)
        directions.append(directionOf(cells[k - 1], cells[k]));
    directions.prepend(directions.isEmpty() ? int(DirEast) : directions.first());
    for (int k = 0; k < cells.size(); ++k) {
        CircuitCell &cell = m_circuit->cell(cells[k].x(), cells[k].y());
        m_circuit->setDirection(&cell, directions[k]);
        m_circuit->setFree(&cell, false);
    }
    // The start cell has a direction, so creating the wire draws no random value.
    RandomStream unused;
    Wire *wire = m_circuit->newWire(&m_circuit->cell(cells[0].x(), cells[0].y()), unused);
    for (int k = 1; k < cells.size(); ++k)
        wire->cells.push_back(&m_circuit->cell(cells[k].x(), cells[k].y()));
    wire->direction = directions.last();
    wire->density = density;
    return *wire;
}

void CircuitBuilder::setLaneEnds(Wire &wire, const QPoint &a, const QPoint &b, int laneSide)
{
    wire.laneEndStart = &m_circuit->cell(a.x(), a.y());
    wire.laneEndEnd = &m_circuit->cell(b.x(), b.y());
    wire.laneSide = uint8_t(laneSide);
}
