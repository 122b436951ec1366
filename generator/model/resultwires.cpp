#include "resultwires.h"

#include "randomstream.h"

ResultWires::ResultWires(const Circuit &circuit, int32_t lengthLimit, float cutoffPercentage)
    : m_circuit(circuit)
    , m_lengthLimit(lengthLimit)
    , m_cutoffPercentage(cutoffPercentage)
{ }

bool ResultWires::listed(size_t cellCount, double draw) const
{
    return int64_t(cellCount) > int64_t(m_lengthLimit) || draw > double(m_cutoffPercentage);
}

void ResultWires::visit(RandomStream &cutoff, const Visitor &visit) const
{
    // One buffer for every wire: the positions are worked out, not stored.
    std::vector<GridPoint> cells;
    for (const Wire *w : m_circuit.wires()) {
        if (!listed(w->cells.size(), cutoff.next()))
            continue;
        cells.clear();
        for (const CircuitCell *c : w->cells)
            cells.push_back(m_circuit.position(c)); // without reading the cell
        visit(ResultWire {cells, w->thickness, int32_t(w->density)});
    }
}
