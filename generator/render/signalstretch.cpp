#include "signalstretch.h"

#include "circuit.h"
#include "randomstream.h"
#include "rendermetrics.h"

#include <algorithm>
#include <cmath>

namespace {

float totalWeight(const Wire &wire)
{
    float total = 0;
    for (const CircuitCell *cell : wire.cells)
        total += cell->values[SlotAdjustSignal];
    return total;
}

// Index of the first cell whose running sum of weights exceeds the target;
// the cell count when none does.
int firstCellPast(const Wire &wire, float target)
{
    float sum = 0;
    const int n = int(wire.cells.size());
    for (int k = 0; k < n; ++k) {
        sum += wire.cells[size_t(k)]->values[SlotAdjustSignal];
        if (sum > target)
            return k;
    }
    return n;
}

} // namespace

SignalStretch SignalStretch::pick(const Wire &wire, RandomStream &signal)
{
    const double total = totalWeight(wire);
    const double u = signal.next();
    const int k = firstCellPast(wire, float(u * total));
    // The length is formed in single precision: 0.7 × 10 gives 7, not 6.
    int length = RenderMetrics::truncated(std::trunc(wire.signalSize * 10.0f));
    int start = k;
    if (length < 1)
        length = 1;
    else
        start = std::max(k - length / 2, 0);
    const int last = int(wire.cells.size()) - 1;
    return SignalStretch(start, std::min(start + length, last));
}

SignalStretch SignalStretch::forRaster() const
{
    return m_start == m_end ? SignalStretch(0, 1) : *this;
}
