// ChipPlacer: puts the chips of the settings on a circuit, in list order: each chip's
// rectangle of cells (taken, presence 0) and its pin cells, which join the pin list.
#pragma once

#include "circuit.h"
#include "generationbudget.h"
#include "generatorsettings.h"
#include "saturatingint.h"

#include <cstdint>

class ChipPlacer
{
public:
    // False when the chips exceed the budget; the circuit is then unfinished. List is the
    // generator's cell list kind.
    template<class List>
    static bool place(Circuit &circuit, const GeneratorSettings &settings, List &pins, GenerationBudget &budget);

private:
    static int32_t clampInt(int64_t v, int32_t lo, int32_t hi);
};

inline int32_t ChipPlacer::clampInt(int64_t v, int32_t lo, int32_t hi)
{
    return int32_t(v < lo ? lo : (v > hi ? hi : v));
}

template<class List>
bool ChipPlacer::place(Circuit &circuit, const GeneratorSettings &s, List &pins, GenerationBudget &budget)
{
    const int32_t columns = circuit.columns();
    const int32_t rows = circuit.rows();
    if (columns <= 0 || rows <= 0)
        return true;
    circuit.reserveChips(s.chips.size());
    for (const ChipSpec &chipSpec : s.chips) {
        ChipPlacement p;
        const float fc = chipSpec.x * float(columns) - float(chipSpec.w / 2);
        const float fr = chipSpec.y * float(rows) - float(chipSpec.h / 2);
        p.colStart = clampInt(saturatingTrunc(fc), 0, columns - 1);
        p.rowStart = clampInt(saturatingTrunc(fr), 0, rows - 1);
        p.colEnd = clampInt(int64_t(p.colStart) + chipSpec.w, 0, columns - 1);
        p.rowEnd = clampInt(int64_t(p.rowStart) + chipSpec.h, 0, rows - 1);
        p.pinsTopBottom = chipSpec.connections == 2 || chipSpec.connections == 3;
        p.pinsLeftRight = chipSpec.connections == 1 || chipSpec.connections == 3;
        p.render = chipSpec.render;
        if (!budget.chargeChip((int64_t(p.colEnd) - p.colStart + 1) * (int64_t(p.rowEnd) - p.rowStart + 1)))
            return false;
        const ChipSpec *stored = circuit.addChip(chipSpec, p);

        for (int32_t x = p.colStart; x <= p.colEnd; ++x) {
            for (int32_t y = p.rowStart; y <= p.rowEnd; ++y) {
                CircuitCell &c = circuit.cell(x, y);
                c.values[SlotPresence] = 0.0f;
                circuit.setFree(&c, false);
                c.chip = stored;
            }
        }
        auto makePin = [&](int32_t x, int32_t y, int32_t direction, int32_t pinDirection) {
            CircuitCell &c = circuit.cell(x, y);
            circuit.setDirection(&c, direction);
            circuit.setPinDirection(&c, pinDirection);
            pins.append(circuit.indexOf(&c));
        };
        if (chipSpec.connections > 1) {
            if (p.rowStart >= 1)
                for (int32_t x = p.colStart; x <= p.colEnd; ++x)
                    makePin(x, p.rowStart - 1, DirNorth, DirSouth);
            if (p.rowEnd < rows - 1)
                for (int32_t x = p.colStart; x <= p.colEnd; ++x)
                    makePin(x, p.rowEnd + 1, DirSouth, DirNorth);
        }
        if (chipSpec.connections == 1 || chipSpec.connections == 3) {
            if (p.colStart >= 1)
                for (int32_t y = p.rowStart; y <= p.rowEnd; ++y)
                    makePin(p.colStart - 1, y, DirWest, DirEast);
            if (p.colEnd < columns - 1)
                for (int32_t y = p.rowStart; y <= p.rowEnd; ++y)
                    makePin(p.colEnd + 1, y, DirEast, DirWest);
        }
        if (!budget.checkPins(pins.size()))
            return false;
    }
    return true;
}
