#include "cellfields.h"

#include "circuit.h"
#include "generatormasks.h"
#include "generatorsettings.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Adds term to a cell value with one rounding; nothing when the result would not
// be a finite number.
void addToSlot(float &slot, double term)
{
    const double sum = double(slot) + term;
    if (!std::isfinite(sum))
        return;
    const float f = float(sum);
    if (std::isfinite(f))
        slot = f;
}

struct PreparedModificator {
    const Modificator *m;
    float negFiftyOverSpread;
    float tenIntensity;
};

struct PreparedAdjustment {
    const Adjustment *a;
    float negInvRadius;
    float radiusSquared;
    float oneMinusHardness;
    float signalTwice;
};

} // namespace

void CellFields::compute(Circuit &circuit, const GeneratorSettings &s, const GeneratorMasks &masks)
{
    std::vector<PreparedModificator> mods;
    for (const Modificator &m : s.modificators) {
        // Only type 0 counts; spread 0 and zero-length segments divide by zero and
        // add nothing; slots outside 0..8 add nothing.
        if (m.type != 0 || m.spread == 0.0f || m.L == 0.0f || m.direction < 0 || m.direction > 8)
            continue;
        mods.push_back({&m, -50.0f / m.spread, 10.0f * m.intensity});
    }
    std::vector<PreparedAdjustment> adjs;
    for (const Adjustment &a : s.adjustments) {
        if (a.radius == 0.0f) // division by zero: adds nothing
            continue;
        adjs.push_back({&a, -1.0f / a.radius, a.radius * a.radius, 1.0f - a.hardness, a.signalAmount * 2.0f});
    }

    const int32_t columns = circuit.columns();
    const int32_t rows = circuit.rows();
    for (int32_t x = 0; x < columns; ++x) {
        const double u = double(x) / double(columns);
        for (int32_t y = 0; y < rows; ++y) {
            const double v = double(y) / double(rows);
            CircuitCell &cell = circuit.cell(x, y);
            for (const PreparedModificator &pm : mods) {
                const Modificator &m = *pm.m;
                const double t = (u - double(m.x1)) * double(m.dx) + (v - double(m.y1)) * double(m.dy);
                if (!(t >= 0.0 && t <= double(m.L)))
                    continue;
                const double k = double(m.dy) * u - double(m.dx) * v + double(m.c);
                const double w = std::pow(2.71828, k * (k / double(m.L)) * double(pm.negFiftyOverSpread));
                addToSlot(cell.values[m.direction], w * double(pm.tenIntensity));
            }
            for (const PreparedAdjustment &pa : adjs) {
                const Adjustment &a = *pa.a;
                const double du = u - double(a.x);
                const double dv = v - double(a.y);
                const double d2 = du * du + dv * dv;
                double g = std::pow(2.71828, double(pa.negInvRadius) * d2);
                if (d2 <= double(pa.radiusSquared) * 1.41)
                    g = std::pow(g, double(pa.oneMinusHardness));
                addToSlot(cell.values[SlotAdjustMasking], double(a.masking) * g);
                addToSlot(cell.values[SlotAdjustDensity], double(a.density) * g);
                addToSlot(cell.values[SlotAdjustSignal], g * double(pa.signalTwice));
            }
            const float mask = masks.value(s, float(u), float(v));
            cell.values[SlotPresence] = mask * std::max(0.0f, 1.0f - cell.values[SlotAdjustMasking]);
        }
    }
}
