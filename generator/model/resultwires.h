// ResultWires: the wires the result map lists, handed over one at a time.
#pragma once

#include "circuit.h"

#include <cstdint>
#include <functional>
#include <vector>

class RandomStream;

// One listed wire: its cells' grid positions in path order, thickness and density.
struct ResultWire {
    const std::vector<GridPoint> &cells;
    float thickness;
    int32_t density;
};

// Walks the circuit's wires in order with the final cut-off: each wire draws the
// cut-off stream once and is listed when it is longer than the length limit or the
// draw is above the cut-off percentage. The result map and the streamed JSON both
// walk here, so neither holds a second copy of the wires to filter them.
class ResultWires
{
public:
    using Visitor = std::function<void(const ResultWire &)>;

    ResultWires(const Circuit &circuit, int32_t lengthLimit, float cutoffPercentage);

    // Draws cutoff once per wire of the circuit and hands each listed wire to visit.
    void visit(RandomStream &cutoff, const Visitor &visit) const;

private:
    bool listed(size_t cellCount, double draw) const;

    const Circuit &m_circuit;
    int32_t m_lengthLimit;
    float m_cutoffPercentage;
};
