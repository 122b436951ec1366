// The cells of a circuit and the chips placed on them.
#pragma once

#include "chipspec.h"
#include "directions.h"

#include <cstddef>
#include <cstdint>
#include <vector>

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
constexpr int kTurnWeightCount = 5; // slots 0 .. 4, by orientation

// Whether a cell is free, its orientation and direction, and whether it is a chip's
// pin are kept by the Circuit, in bytes per cell (see Circuit::isFree).
struct CircuitCell {
    int32_t x = 0;
    int32_t y = 0;
    const ChipSpec *chip = nullptr; // ChipSpec whose rectangle covers the cell (a copy owned by the Circuit)
    // 0..4 orientation weights, 5 presence, 6..8 adjustment sums.
    float values[kCellValueCount] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.1f};

    float presence() const { return values[SlotPresence]; }
};
