// The circuit model: grid geometry, cells, chips, wires and the circuit.
#pragma once

#include "directions.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct GeneratorSettings;
class Circuit;

// One entry of the "chips" parameter.
struct ChipSpec {
    float x = 0, y = 0; // normalized centre
    int32_t w = 0, h = 0; // size in cells
    int32_t connections = 0; // 0 none, 1 left/right, 2 top/bottom, 3 all sides (>= 4: top/bottom)
    bool render = false; // whether renderers draw the chip body
};

// A chip as placed in a circuit (owned by the Circuit).
struct ChipPlacement {
    int32_t colStart = 0, rowStart = 0, colEnd = 0, rowEnd = 0; // inclusive
    bool pinsTopBottom = false; // connections 2 or 3
    bool pinsLeftRight = false; // connections 1 or 3
    bool render = false;
};

// Slots of CircuitCell::values.
enum CellValueSlot {
    SlotPresence = 5, // probability that a growing wire may enter
    SlotAdjustMasking = 6, // sum of adjustment masking
    SlotAdjustDensity = 7, // sum of adjustment density
    SlotAdjustSignal = 8 // sum of adjustment signal amount
};
constexpr int kCellValueCount = 9;

struct CircuitCell {
    int32_t x = 0;
    int32_t y = 0;
    bool free = true;
    const ChipSpec *chip = nullptr; // ChipSpec whose rectangle covers the cell (a copy owned by the Circuit)
    int32_t orientation = -1;
    int32_t direction = -1;
    int32_t pinDirection = -1; // for a pin cell: Direction from the cell into the chip
    // 0..4 orientation weights, 5 presence, 6..8 adjustment sums.
    float values[kCellValueCount] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.1f};

    float presence() const { return values[SlotPresence]; }
};

class Wire
{
public:
    // Start rule (may draw stream 1). Does not append the wire to the circuit.
    Wire(Circuit *circuit, CircuitCell *startCell);
    virtual ~Wire();

    Wire(const Wire &) = delete;
    Wire &operator=(const Wire &) = delete;

    // growWire: grows in place, then applies the signal rule (stream 1, 5).
    void grow(const GeneratorSettings &settings);
    // addSecondLane; returns true when a second lane was added.
    bool addSecondLane();
    // True when the first or last cell, or a lane end, is a chip pin cell.
    bool attachedToChip() const;
    bool hasLaneEnds() const { return laneEndStart != nullptr; }
    bool hasSignal() const { return signalPosition >= 0.0f; }

    std::vector<CircuitCell *> cells; // never empty; path order
    CircuitCell *laneEndStart = nullptr;
    CircuitCell *laneEndEnd = nullptr;
    uint8_t laneSide = 0; // 0 left-hand tables, 1 right-hand tables
    int32_t direction = 0;
    float thickness = 1.0f;
    int32_t density = 1;
    Circuit *circuit = nullptr;
    bool removed = false;
    float signalPosition = -1.0f;
    float signalSize = -1.0f;

private:
    enum class StepResult { Stepped, Ended, Failed };
    StepResult step(const GeneratorSettings &settings);
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

    const std::vector<Wire *> &wires() const { return m_wires; }
    const std::vector<ChipPlacement> &chips() const { return m_chips; }

    // Creates a wire on startCell by the start rule, appends it to wires, returns it.
    Wire *newWire(CircuitCell *startCell);
    // Appends an already grown wire (takes ownership).
    void addWire(Wire *wire);
    // Frees the wire's cells and lane ends (free, orientation -1, direction -1).
    // Does not take it out of wires.
    void releaseWire(Wire *wire);
    // Deletes every wire marked removed, keeping the order of the others.
    void deleteRemovedWires();

    // Chip placement bookkeeping (used by the generator).
    // Reserves room for n chip specs so that references stay valid; call once before addChip.
    void reserveChips(size_t n);
    // Stores a copy of chipSpec and the placement; returns the stored copy (for cell.chip).
    const ChipSpec *addChip(const ChipSpec &chipSpec, const ChipPlacement &placement);
    const std::vector<ChipSpec> &chipSpecs() const { return m_chipSpecs; }

private:
    int32_t m_columns;
    int32_t m_rows;
    std::vector<CircuitCell> m_cells;
    std::vector<Wire *> m_wires;
    std::vector<ChipPlacement> m_chips;
    std::vector<ChipSpec> m_chipSpecs;
};
