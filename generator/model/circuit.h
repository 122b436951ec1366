// Circuit: the grid of cells, its wires and its chips.
#pragma once

#include "hugepageallocator.h"
#include "wire.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory_resource>
#include <vector>

// A cell's column and row.
struct GridPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Grid geometry.
struct GridSize {
    int32_t columns = 0;
    int32_t rows = 0;
    bool valid = false; // false for bad scale or size (empty circuit)
    bool tooLarge = false; // more cells than Circuit::kMaxCells (empty circuit)
};

class Circuit
{
public:
    // Largest grid the generator builds: 2,097,152 cells (2^21, e.g. 2048 x 1024 or
    // 1448 x 1448), at which every map the budget admits generates, and exports as SVG,
    // artwork SVG and PDF, within seconds and a gigabyte. A larger grid gives an empty
    // circuit (GridSize::tooLarge).
    static constexpr int64_t kMaxCells = int64_t(1) << 21;

    // Cell size in pixels at render scale 1: 20 x scale, single precision.
    static float cellSize(float scale) { return 20.0f * scale; }
    // columns = trunc(ceil(width / cellSize)), rows likewise, divisions in double.
    // scale <= 0, NaN or infinite, width or height <= 0: 0 x 0, valid = false.
    static GridSize gridSize(int32_t width, int32_t height, float scale);

    Circuit(int32_t columns, int32_t rows);
    virtual ~Circuit();

    Circuit(const Circuit &) = delete;
    Circuit &operator=(const Circuit &) = delete;

    int32_t columns() const { return m_columns; }
    int32_t rows() const { return m_rows; }
    int64_t cellCount() const { return int64_t(m_columns) * m_rows; }
    bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < m_columns && y < m_rows; }

    // grid[x][y]; the coordinates must be on the grid.
    CircuitCell &cell(int32_t x, int32_t y) { return m_cells[size_t(x) * size_t(m_rows) + size_t(y)]; }
    const CircuitCell &cell(int32_t x, int32_t y) const { return m_cells[size_t(x) * size_t(m_rows) + size_t(y)]; }
    // nullptr when (x, y) is off the grid.
    CircuitCell *cellAt(int32_t x, int32_t y) { return contains(x, y) ? &cell(x, y) : nullptr; }
    const CircuitCell *cellAt(int32_t x, int32_t y) const { return contains(x, y) ? &cell(x, y) : nullptr; }
    // Linear index x * rows + y (the order of the candidate list). Like position(),
    // worked out from the cell's place in the grid: the cell itself is not read.
    int32_t indexOf(const CircuitCell *c) const { return int32_t(c - m_cells.data()); }
    GridPoint position(const CircuitCell *c) const
    {
        const int32_t i = indexOf(c);
        return {i / m_rows, i % m_rows};
    }
    CircuitCell &cellByIndex(int32_t index) { return m_cells[size_t(index)]; }
    const CircuitCell &cellByIndex(int32_t index) const { return m_cells[size_t(index)]; }

    const std::vector<Wire *> &wires() const { return m_wires; }
    const std::vector<ChipPlacement> &chips() const { return m_chips; }

    // Whether a cell is free, the direction by which a wire entered it (-1 for
    // none), whether it is a chip's pin and what summariseCells() found live in a
    // byte per cell rather than in the cells: wire growth reads them for every
    // neighbour of every step, and a grid of bytes stays in cache where the cells
    // do not; one byte rather than two lets the largest grids keep it in the
    // second-level cache. A cell's orientation is that of its direction. A new
    // cell is free, with no direction, and no pin.
    bool isFree(const CircuitCell *c) const { return (m_state[stateIndex(c)] & kFreeBit) != 0; }
    int32_t orientation(const CircuitCell *c) const { return orientationOfState(m_state[stateIndex(c)]); }
    void setFree(CircuitCell *c, bool free)
    {
        uint8_t &state = m_state[stateIndex(c)];
        state = uint8_t(free ? state | kFreeBit : state & ~kFreeBit);
    }
    int32_t direction(const CircuitCell *c) const
    {
        return int32_t((m_state[stateIndex(c)] & kDirectionBits) >> kDirectionShift) - 1;
    }
    // Also gives the cell the orientation of the direction (none for -1).
    void setDirection(CircuitCell *c, int32_t direction)
    {
        Q_ASSERT(direction >= -1 && direction <= 7);
        uint8_t &state = m_state[stateIndex(c)];
        state = uint8_t((state & ~kDirectionBits) | ((direction + 1) << kDirectionShift));
    }
    // For a chip's pin cell the direction from the cell into the chip, else -1.
    int32_t pinDirection(const CircuitCell *c) const { return int32_t(m_pinDirections[stateIndex(c)]) - 1; }
    bool isPin(const CircuitCell *c) const { return (m_state[stateIndex(c)] & kPinBit) != 0; }
    void setPinDirection(CircuitCell *c, int32_t direction)
    {
        Q_ASSERT(direction >= -1 && direction <= 7);
        const size_t i = stateIndex(c);
        m_pinDirections[i] = uint8_t(direction + 1);
        m_state[i] = uint8_t(direction >= 0 ? m_state[i] | kPinBit : m_state[i] & ~kPinBit);
    }

    // Growth reads a cell's values only where they can matter. summariseCells()
    // notes, from the cells as they are then, where presence is below 1 and which
    // cells lie under a chip, and whether any turn weight, density or signal value
    // differs from its initial one; the generator calls it once the fields and the
    // chips are in place, and changes no cell after. Until then every query below
    // reads the cell.
    void summariseCells();
    bool presenceBelowOne(const CircuitCell *c) const
    {
        return m_summarised ? (m_state[stateIndex(c)] & kPresenceBelowOneBit) != 0 : c->values[SlotPresence] < 1.0f;
    }
    bool underChip(const CircuitCell *c) const
    {
        return m_summarised ? (m_state[stateIndex(c)] & kUnderChipBit) != 0 : c->chip != nullptr;
    }
    bool hasTurnWeights() const { return !m_summarised || m_hasTurnWeights; }
    bool hasDensity() const { return !m_summarised || m_hasDensity; }
    bool hasSignalAboveOne() const { return !m_summarised || m_hasSignalAboveOne; }
    // The same by coordinates; off the grid: not free, no orientation.
    bool isFreeAt(int32_t x, int32_t y) const { return contains(x, y) && (m_state[stateIndex(x, y)] & kFreeBit) != 0; }
    int32_t orientationAt(int32_t x, int32_t y) const
    {
        return contains(x, y) ? orientationOfState(m_state[stateIndex(x, y)]) : -1;
    }
    // Starts loading what a wire started on c reads first: the states of c and of
    // its neighbours (three columns). On a large grid a random start cell is
    // rarely in cache.
    void prefetchStart(const CircuitCell *c) const
    {
        const size_t i = stateIndex(c);
        const size_t rows = size_t(m_rows);
        __builtin_prefetch(m_state.data() + i, 1);
        if (i >= rows)
            __builtin_prefetch(m_state.data() + (i - rows));
        if (i + rows < m_state.size())
            __builtin_prefetch(m_state.data() + (i + rows));
    }

    // Creates a wire on startCell by the start rule, appends it to wires, returns it.
    Wire *newWire(CircuitCell *startCell, RandomStream &start);
    // Appends a copy of an already grown wire.
    void addWire(const Wire &grown);
    // Diagonal crossing check for a step in direction d arriving at cell (nx, ny):
    // odd directions always pass; an even one fails only when both flank cells (sharing
    // a side with both cells) are taken and one of them runs across it.
    bool diagonalCrossingPasses(int32_t d, int32_t nx, int32_t ny) const;

    // Frees the wire's cells and lane ends (free, orientation -1, direction -1).
    // Does not take it out of wires.
    void releaseWire(Wire *wire);
    // Frees one cell (free, orientation -1, direction -1).
    void releaseCell(CircuitCell *c);
    // Deletes the wires at these positions of wires() (ascending, distinct), keeping
    // the order of the others.
    void deleteWires(const std::vector<size_t> &positions);

    // Chip placement bookkeeping (used by the generator).
    // Reserves room for n chip specs so that references stay valid; call once before addChip.
    void reserveChips(size_t n);
    // Stores a copy of chipSpec and the placement; returns the stored copy (for cell.chip).
    const ChipSpec *addChip(const ChipSpec &chipSpec, const ChipPlacement &placement);
    const std::vector<ChipSpec> &chipSpecs() const { return m_chipSpecs; }

private:
    static constexpr uint8_t kFreeBit = 0x80;
    // Direction + 1, 0 .. 8.
    static constexpr int kDirectionShift = 3;
    static constexpr uint8_t kDirectionBits = 0x78;
    static constexpr uint8_t kPinBit = 0x04;
    // What summariseCells() found.
    static constexpr uint8_t kPresenceBelowOneBit = 0x02;
    static constexpr uint8_t kUnderChipBit = 0x01;
    // The bits that stay when a wire gives its cell back.
    static constexpr uint8_t kPlaceBits = kPinBit | kPresenceBelowOneBit | kUnderChipBit;

    // By direction + 1: a lookup rather than a branch, in the steps' innermost loop.
    static constexpr std::array<int8_t, 16> kOrientationOfDirectionBits = [] {
        std::array<int8_t, 16> table {};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = int8_t(i >= 1 && i <= 8 ? kDirectionOrientation[i - 1] : -1);
        return table;
    }();
    static int32_t orientationOfState(uint8_t state)
    {
        return kOrientationOfDirectionBits[(state & kDirectionBits) >> kDirectionShift];
    }

    size_t stateIndex(int32_t x, int32_t y) const { return size_t(x) * size_t(m_rows) + size_t(y); }
    size_t stateIndex(const CircuitCell *c) const { return size_t(c - m_cells.data()); }

    int32_t m_columns;
    int32_t m_rows;
    std::vector<CircuitCell, HugePageAllocator<CircuitCell>> m_cells;
    std::vector<uint8_t> m_state; // free bit, direction + 1, pin bit, summary bits
    std::vector<uint8_t> m_pinDirections; // pin direction + 1
    bool m_summarised = false;
    bool m_hasTurnWeights = true;
    bool m_hasDensity = true;
    bool m_hasSignalAboveOne = true;
    // The wires live, with the cells of those kept by addWire, in pools of the
    // circuit's own, given back all at once with it: a large grid makes some hundred
    // thousand wires, and as separate heap blocks their making and freeing scattered
    // the heap. Most of them are cut off again: a deleted wire's place, and its cells'
    // storage, go to the next wire added, so that pass after pass needs no more.
    std::pmr::unsynchronized_pool_resource m_wireMemory;
    std::pmr::deque<Wire> m_wireStore {&m_wireMemory};
    std::vector<Wire *> m_wires; // in order
    std::vector<Wire *> m_deletedWires;
    std::vector<ChipPlacement> m_chips;
    std::vector<ChipSpec> m_chipSpecs;
};
