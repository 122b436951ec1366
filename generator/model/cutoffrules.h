// CutoffRules: which wires the cut-off of a fill pass removes. A wire attached to a chip
// never; otherwise a short wire when its draw of stream 4 allows it, a wire that starts
// under a chip, and a single cell of faint presence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Circuit;
class RandomStream;
class Wire;
struct GeneratorSettings;

class CutoffRules
{
public:
    // What the cut-off rules ask of a kept wire. Its cells, its lane ends and the pins never
    // change once it is kept, so the answers are taken then, while its cells are at hand:
    // the passes read these instead of the wires, which lie scattered over the heap.
    struct Traits {
        bool attached; // to a chip: never cut
        bool shortWire; // no longer than the cut-off limit
        bool startsUnderChip;
        bool singleFaintCell; // one cell, of presence below 0.5
    };

    // trunc(cutoff_length² × wire_length × 200), every product in single precision.
    static int32_t limit(const GeneratorSettings &settings);
    static Traits traitsOf(const Circuit &circuit, const Wire &wire, int32_t limit);
    // Whether a marking could still remove any of the wires.
    static bool anyCanBeCut(const std::vector<Traits> &traits, float cutoffPercentage);
    // The marking: one draw of stream 4 per wire, in order; the positions of the wires it
    // removes.
    static std::vector<size_t> mark(const std::vector<Traits> &traits, float cutoffPercentage, RandomStream &s4);

private:
    // shortWireCut: whether the draw lets a short wire be cut.
    static bool isCut(const Traits &t, bool shortWireCut);
    static bool canBeCut(const Traits &t, float cutoffPercentage);
};
