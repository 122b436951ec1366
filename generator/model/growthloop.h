// GrowthLoop: one generation run on a new circuit: the cell fields, the chips, a wire from
// every pin, then the fill passes, each growing wires from random free cells until none is
// left and cutting short wires away.
#pragma once

#include "cellfields.h"
#include "chipplacer.h"
#include "circuit.h"
#include "cutoffrules.h"
#include "eraseat.h"
#include "generationbudget.h"
#include "generatorsettings.h"
#include "powercache.h"
#include "randomstreams.h"

#include <memory>
#include <vector>

class GeneratorMasks;

class GrowthLoop
{
public:
    // False when the run exceeds the budget; the circuit is then unfinished. List is the
    // kind of the candidate and pin lists (CircuitGenerator::ListStrategy).
    template<class List>
    static bool run(Circuit &circuit, const GeneratorSettings &settings, const GeneratorMasks &masks,
                    RandomStreams &streams, GenerationBudget &budget);

private:
    static float thicknessDraw(const GeneratorSettings &s, RandomStreams &streams);
    static float meanDensity(const Circuit &circuit, const Wire *w);
    template<class List>
    static void deleteCutWires(Circuit &circuit, const std::vector<size_t> &removed, List &candidates);
    template<class List>
    static void removeWireCells(List &list, const Circuit &circuit, const Wire &w);
};

// Deletes the wires at `removed` (ascending), freeing their cells and lane ends and
// queueing those as candidates again, in order.
template<class List>
void GrowthLoop::deleteCutWires(Circuit &circuit, const std::vector<size_t> &removed, List &candidates)
{
    auto freeCell = [&](CircuitCell *c) {
        circuit.releaseCell(c);
        candidates.append(circuit.indexOf(c));
    };
    for (size_t i : removed) {
        const Wire &w = *circuit.wires()[i];
        for (CircuitCell *c : w.cells)
            freeCell(c);
        if (w.laneEndStart) {
            freeCell(w.laneEndStart);
            freeCell(w.laneEndEnd);
        }
    }
    circuit.deleteWires(removed);
}

// Takes a kept wire's cells, then its lane ends, out of the list. The entries are
// requested together first: on a large grid each lookup misses the cache.
template<class List>
void GrowthLoop::removeWireCells(List &list, const Circuit &circuit, const Wire &w)
{
    for (const CircuitCell *c : w.cells)
        list.prefetch(circuit.indexOf(c));
    for (const CircuitCell *c : w.cells)
        list.removeFirst(circuit.indexOf(c));
    if (w.laneEndStart) {
        list.removeFirst(circuit.indexOf(w.laneEndStart));
        list.removeFirst(circuit.indexOf(w.laneEndEnd));
    }
}

template<class List>
bool GrowthLoop::run(Circuit &circuit, const GeneratorSettings &s, const GeneratorMasks &masks, RandomStreams &streams,
                     GenerationBudget &budget)
{
    const int32_t cellCount = int32_t(circuit.cellCount());
    if (cellCount <= 0)
        return true; // empty grid: no chips, nothing drawn

    List candidates(cellCount);
    List pins(cellCount);

    CellFields::compute(circuit, s, masks);
    candidates.appendSequential(cellCount); // x-major, the order of indexOf
    if (!ChipPlacer::place(circuit, s, pins, budget))
        return false;
    circuit.summariseCells();

    RandomStream &s1 = streams.stream(StreamStart);
    RandomStream &s4 = streams.stream(StreamCutoff);
    PowerCache powers(double(s.tendencyPower));
    const int32_t limit = CutoffRules::limit(s);
    std::vector<CutoffRules::Traits> traits; // of circuit.wires(), in the same order

    // Pin wires.
    while (!pins.empty()) {
        const double r = s1.next();
        CircuitCell &start = circuit.cellByIndex(pins.at(randomIndex(r, pins.size())));
        circuit.setFree(&start, false);
        Wire *w = circuit.newWire(&start, s1);
        w->thickness = thicknessDraw(s, streams);
        w->grow(s, streams, powers);
        if (!budget.chargeGrowth(int64_t(w->cells.size())))
            return false;
        removeWireCells(candidates, circuit, *w);
        removeWireCells(pins, circuit, *w);
        traits.push_back(CutoffRules::traitsOf(circuit, *w, limit));
    }

    // Fill passes.
    for (int32_t pass = 0; pass < s.loops; ++pass) {
        // With nothing to fill and no wire that a cut-off could remove, this pass and all
        // later ones change nothing but stream 4, which draws once per wire and pass.
        if (candidates.empty() && !CutoffRules::anyCanBeCut(traits, s.cutoffPercentage)) {
            s4.skip(uint64_t(s.loops - pass) * uint64_t(circuit.wires().size()));
            break;
        }
        if (!budget.chargePass(candidates.size()))
            return false;
        // One wire is grown over and over: attempts reuse its cell storage, and
        // the circuit keeps a right-sized copy of the one accepted.
        std::unique_ptr<Wire> attempt;
        while (!candidates.empty()) {
            const float thickness = thicknessDraw(s, streams);
            const double c = s1.next();
            for (int i = 0; i < 10; ++i) {
                const double r = s1.next();
                CircuitCell &start = circuit.cellByIndex(candidates.at(randomIndex(r, candidates.size())));
                if (attempt)
                    attempt->restart(&start, s1);
                else
                    attempt = std::make_unique<Wire>(&circuit, &start, s1);
                attempt->thickness = thickness;
                attempt->grow(s, streams, powers);
                if (!budget.chargeGrowth(int64_t(attempt->cells.size())))
                    return false;
                if (c >= double(s.denseAmount) && meanDensity(circuit, attempt.get()) <= 0.5f)
                    break;
                attempt->addSecondLane();
                if (attempt->density == 2 || i == 9)
                    break;
                circuit.releaseWire(attempt.get());
            }
            removeWireCells(candidates, circuit, *attempt);
            traits.push_back(CutoffRules::traitsOf(circuit, *attempt, limit));
            circuit.addWire(*attempt);
        }

        // Cut-off marking.
        if (!budget.chargeCutoff(int64_t(circuit.wires().size())))
            return false;
        const std::vector<size_t> removed = CutoffRules::mark(traits, s.cutoffPercentage, s4);
        deleteCutWires(circuit, removed, candidates);
        eraseAt(traits, removed);
    }
    return true;
}
