#include "circuit.h"

#include "eraseat.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

// ---------------------------------------------------------------------------
// Grid geometry

GridSize Circuit::gridSize(int32_t width, int32_t height, float scale)
{
    GridSize g;
    if (!(scale > 0.0f) || !std::isfinite(scale) || width <= 0 || height <= 0)
        return g;
    const float size = cellSize(scale);
    if (!(size > 0.0f) || !std::isfinite(size))
        return g;
    const double cols = std::ceil(double(width) / double(size));
    const double rows = std::ceil(double(height) / double(size));
    if (!(cols * rows <= double(kMaxCells))) {
        g.tooLarge = true;
        return g;
    }
    g.columns = int32_t(cols);
    g.rows = int32_t(rows);
    g.valid = true;
    return g;
}

// ---------------------------------------------------------------------------
// Circuit

Circuit::Circuit(int32_t columns, int32_t rows)
    : m_columns(columns > 0 && rows > 0 ? columns : 0)
    , m_rows(columns > 0 && rows > 0 ? rows : 0)
{
    m_cells.resize(size_t(m_columns) * size_t(m_rows));
    m_state.assign(m_cells.size(), kFreeBit);
    m_pinDirections.assign(m_cells.size(), 0);
    size_t i = 0;
    for (int32_t x = 0; x < m_columns; ++x) {
        for (int32_t y = 0; y < m_rows; ++y) {
            m_cells[i].x = x;
            m_cells[i].y = y;
            ++i;
        }
    }
}

Circuit::~Circuit() = default;

Wire *Circuit::newWire(CircuitCell *startCell, RandomStream &start)
{
    m_wires.push_back(&m_wireStore.emplace_back(this, startCell, start));
    return m_wires.back();
}

void Circuit::addWire(const Wire &grown)
{
    if (m_deletedWires.empty()) {
        m_wires.push_back(&m_wireStore.emplace_back(grown, &m_wireMemory));
        return;
    }
    // The deleted wire's cells go back to the pools, and a copy of the right size
    // takes its place.
    Wire *place = m_deletedWires.back();
    m_deletedWires.pop_back();
    place->~Wire();
    m_wires.push_back(new (place) Wire(grown, &m_wireMemory));
}

void Circuit::releaseCell(CircuitCell *c)
{
    uint8_t &state = m_state[stateIndex(c)];
    state = uint8_t(kFreeBit | (state & kPlaceBits));
}

namespace {

// Differs from a value's initial +0 (a negative zero counts as different).
bool nonZero(float v)
{
    return v != 0.0f || std::signbit(v);
}

} // namespace

void Circuit::summariseCells()
{
    m_hasTurnWeights = false;
    m_hasDensity = false;
    m_hasSignalAboveOne = false;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const CircuitCell &c = m_cells[i];
        for (int slot = 0; slot < kTurnWeightCount; ++slot)
            m_hasTurnWeights = m_hasTurnWeights || nonZero(c.values[slot]);
        m_hasDensity = m_hasDensity || nonZero(c.values[SlotAdjustDensity]);
        m_hasSignalAboveOne = m_hasSignalAboveOne || c.values[SlotAdjustSignal] > 1.0f;
        uint8_t state = uint8_t(m_state[i] & ~(kPresenceBelowOneBit | kUnderChipBit));
        if (c.values[SlotPresence] < 1.0f)
            state |= kPresenceBelowOneBit;
        if (c.chip)
            state |= kUnderChipBit;
        m_state[i] = state;
    }
    m_summarised = true;
}

void Circuit::releaseWire(Wire *wire)
{
    for (CircuitCell *c : wire->cells)
        releaseCell(c);
    if (wire->laneEndStart)
        releaseCell(wire->laneEndStart);
    if (wire->laneEndEnd)
        releaseCell(wire->laneEndEnd);
}

void Circuit::deleteWires(const std::vector<size_t> &positions)
{
    for (size_t i : positions)
        m_deletedWires.push_back(m_wires[i]);
    eraseAt(m_wires, positions);
}

void Circuit::reserveChips(size_t n)
{
    m_chipSpecs.reserve(n);
    m_chips.reserve(n);
}

const ChipSpec *Circuit::addChip(const ChipSpec &chipSpec, const ChipPlacement &placement)
{
    // reserveChips keeps earlier references valid; beyond the reservation this
    // would reallocate, so callers reserve first.
    Q_ASSERT(m_chipSpecs.size() < m_chipSpecs.capacity() || m_chipSpecs.capacity() == 0);
    m_chipSpecs.push_back(chipSpec);
    m_chips.push_back(placement);
    return &m_chipSpecs.back();
}

// ---------------------------------------------------------------------------
// Diagonal crossings

bool Circuit::diagonalCrossingPasses(int32_t d, int32_t nx, int32_t ny) const
{
    if (d < 0 || d > 7 || (d & 1))
        return true;
    const CellOffset o = kDirectionOffsets[d];
    // p = n - o; flanks (p.x + dx, p.y) = (n.x, n.y - dy) and (p.x, p.y + dy) = (n.x - dx, n.y).
    const int32_t crossing = (d == 0 || d == 4) ? OrientDiagonalNE : OrientDiagonalNW;
    // Off-grid flanks cannot occur for on-grid steps; treat them as free to stay safe.
    const bool free1 = !contains(nx, ny - o.dy) || isFreeAt(nx, ny - o.dy);
    const bool free2 = !contains(nx - o.dx, ny) || isFreeAt(nx - o.dx, ny);
    if (free1 || free2)
        return true;
    return orientationAt(nx, ny - o.dy) != crossing && orientationAt(nx - o.dx, ny) != crossing;
}
