#include "cutoffrules.h"

#include "circuit.h"
#include "generatorsettings.h"
#include "randomstream.h"
#include "saturatingint.h"

#include <algorithm>

int32_t CutoffRules::limit(const GeneratorSettings &s)
{
    float limit = s.cutoffLength * s.cutoffLength;
    limit = limit * s.wireLength;
    limit = limit * 200.0f;
    return saturatingTrunc(limit);
}

CutoffRules::Traits CutoffRules::traitsOf(const Circuit &circuit, const Wire &w, int32_t limit)
{
    const CircuitCell *front = w.cells.front();
    // Presence below 0.5 is below 1 too: the state byte answers that without loading the cell.
    const bool singleFaintCell
            = w.cells.size() == 1 && circuit.presenceBelowOne(front) && front->values[SlotPresence] < 0.5f;
    return {w.attachedToChip(), int64_t(w.cells.size()) <= int64_t(limit), circuit.underChip(front), singleFaintCell};
}

bool CutoffRules::isCut(const Traits &t, bool shortWireCut)
{
    return !t.attached && ((t.shortWire && shortWireCut) || t.startsUnderChip || t.singleFaintCell);
}

// Whether a cut-off marking could remove the wire. The draw it compares with the cut-off
// percentage lies in (-1, 1); the other rules depend only on the wire.
bool CutoffRules::canBeCut(const Traits &t, float cutoffPercentage)
{
    return isCut(t, !(cutoffPercentage <= -1.0f));
}

bool CutoffRules::anyCanBeCut(const std::vector<Traits> &traits, float cutoffPercentage)
{
    return std::any_of(traits.begin(), traits.end(),
                       [cutoffPercentage](const Traits &t) { return canBeCut(t, cutoffPercentage); });
}

// The cut-off marking: one draw of stream 4 per wire, in order; returns the positions of
// the wires it removes.
std::vector<size_t> CutoffRules::mark(const std::vector<Traits> &traits, float cutoffPercentage, RandomStream &s4)
{
    std::vector<size_t> removed;
    for (size_t i = 0; i < traits.size(); ++i) {
        const double r = s4.next();
        if (isCut(traits[i], r <= double(cutoffPercentage)))
            removed.push_back(i);
    }
    return removed;
}
