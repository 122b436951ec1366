// Circuit: the grid of cells, its wires and its chips.
#pragma once

#include "hugepageallocator.h"
#include "wire.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

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
    // Largest grid the generator builds: 4,194,304 cells (2^22, e.g. 2048 x 2048).
    // A larger grid gives an empty circuit (GridSize::tooLarge).
    static constexpr int64_t kMaxCells = int64_t(1) << 22;

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
    // Linear index x * rows + y (the order of the candidate list).
    int32_t indexOf(const CircuitCell *c) const { return c->x * m_rows + c->y; }
    CircuitCell &cellByIndex(int32_t index) { return m_cells[size_t(index)]; }
    const CircuitCell &cellByIndex(int32_t index) const { return m_cells[size_t(index)]; }

    const std::vector<std::unique_ptr<Wire>> &wires() const { return m_wires; }
    const std::vector<ChipPlacement> &chips() const { return m_chips; }

    // Whether a cell is free, and its orientation (-1 for none), live in a
    // byte per cell rather than in the cells: wire growth reads them for
    // every neighbour of every step, and a grid of bytes stays in cache where
    // the cells do not. A new cell is free, with no orientation.
    bool isFree(const CircuitCell *c) const { return (m_state[stateIndex(c)] & kFreeBit) != 0; }
    int32_t orientation(const CircuitCell *c) const { return int32_t(m_state[stateIndex(c)] & kOrientationBits) - 1; }
    void setFree(CircuitCell *c, bool free);
    void setOrientation(CircuitCell *c, int32_t orientation);
    // The same by coordinates; off the grid: not free, no orientation.
    bool isFreeAt(int32_t x, int32_t y) const { return contains(x, y) && (m_state[stateIndex(x, y)] & kFreeBit) != 0; }
    int32_t orientationAt(int32_t x, int32_t y) const
    {
        return contains(x, y) ? int32_t(m_state[stateIndex(x, y)] & kOrientationBits) - 1 : -1;
    }

    // Creates a wire on startCell by the start rule, appends it to wires, returns it.
    Wire *newWire(CircuitCell *startCell);
    // Appends an already grown wire.
    void addWire(std::unique_ptr<Wire> wire);
    // Diagonal crossing check for a step in direction d arriving at cell (nx, ny):
    // odd directions always pass; an even one fails only when both flank cells (sharing
    // a side with both cells) are taken and one of them runs across it.
    bool diagonalCrossingPasses(int32_t d, int32_t nx, int32_t ny) const;

    // Frees the wire's cells and lane ends (free, orientation -1, direction -1).
    // Does not take it out of wires.
    void releaseWire(Wire *wire);
    // Frees one cell (free, orientation -1, direction -1).
    void releaseCell(CircuitCell *c);
    // Deletes every wire marked removed, keeping the order of the others.
    void deleteRemovedWires();

    // Chip placement bookkeeping (used by the generator).
    // Reserves room for n chip specs so that references stay valid; call once before addChip.
    void reserveChips(size_t n);
    // Stores a copy of chipSpec and the placement; returns the stored copy (for cell.chip).
    const ChipSpec *addChip(const ChipSpec &chipSpec, const ChipPlacement &placement);
    const std::vector<ChipSpec> &chipSpecs() const { return m_chipSpecs; }

private:
    static constexpr uint8_t kFreeBit = 0x80;
    // Orientation + 1, 0 .. 5.
    static constexpr uint8_t kOrientationBits = 0x0f;

    size_t stateIndex(int32_t x, int32_t y) const { return size_t(x) * size_t(m_rows) + size_t(y); }
    size_t stateIndex(const CircuitCell *c) const { return size_t(c - m_cells.data()); }

    int32_t m_columns;
    int32_t m_rows;
    std::vector<CircuitCell, HugePageAllocator<CircuitCell>> m_cells;
    std::vector<uint8_t> m_state;
    std::vector<std::unique_ptr<Wire>> m_wires;
    std::vector<ChipPlacement> m_chips;
    std::vector<ChipSpec> m_chipSpecs;
};
