#include "wire.h"

#include "circuit.h"
#include "directionpermutation.h"
#include "generatorsettings.h"
#include "powercache.h"
#include "randomstreams.h"
#include "saturatingint.h"
#include "secondlane.h"
#include "signalrule.h"

#include <cmath>

// ---------------------------------------------------------------------------
// Wire: start rule

Wire::Wire(Circuit *owner, CircuitCell *s, RandomStream &start)
    : Wire(owner, s, {}, start)
{ }

Wire::Wire(Circuit *owner, CircuitCell *s, std::pmr::vector<CircuitCell *> storage, RandomStream &start)
    : cells(std::move(storage))
    , circuit(owner)
{
    circuit->prefetchStart(s);
    cells.clear();
    cells.push_back(s);
    circuit->setFree(s, false);
    const int32_t given = circuit->direction(s);
    if (given >= 0) {
        direction = given;
        return;
    }
    const double r = start.next();
    DirectionPermutation order(int(std::trunc(std::fmax(r * double(kDirectionPermutationCount), 0.0))));
    int32_t d = 0;
    const GridPoint p = circuit->position(s);
    for (int i = 0; i < 8; ++i) {
        const int32_t candidate = order.next();
        const CellOffset o = kDirectionOffsets[candidate];
        if (circuit->isFreeAt(p.x + o.dx, p.y + o.dy)) {
            d = candidate;
            break;
        }
    }
    direction = d;
    circuit->setDirection(s, d);
}

Wire::~Wire() = default;

Wire::Wire(const Wire &grown, std::pmr::memory_resource *store)
    : cells(store)
{
    // A polymorphic allocator stays with its vector on assignment: the cells are
    // copied into store, and every other member as it is.
    *this = grown;
}

void Wire::restart(CircuitCell *startCell, RandomStream &start)
{
    *this = Wire(circuit, startCell, std::move(cells), start);
}

bool Wire::attachedToChip() const
{
    if (circuit->isPin(cells.front()) || circuit->isPin(cells.back()))
        return true;
    if (laneEndStart && laneEndEnd)
        return circuit->isPin(laneEndStart) || circuit->isPin(laneEndEnd);
    return false;
}

// ---------------------------------------------------------------------------
// Wire growth

// The candidates of a step: straight on, a left turn, a right turn.
static constexpr int32_t kTurns[3] = {0, -1, 1};

static int32_t maxCellsOf(float wireLength)
{
    return saturatingTrunc(200.0f * wireLength);
}

// A turn weight that is not a finite number (0 to a negative power, a negative raw
// weight to a fractional power, overflow) is taken as 0.
static double finiteWeight(double w)
{
    return std::isfinite(w) ? w : 0.0;
}

namespace {

// The parts of a step, of internal linkage so that the one step that calls each
// keeps it inline.

// Starts loading the cells a step from p in direction D can enter.
void prefetchAhead(const Circuit &circuit, const GridPoint &p, int32_t D)
{
    // With turn weights, the cell a step enters is read again by the next step; on
    // a large grid it is rarely in cache, so its load starts while the weights are
    // worked out. Without them a step rarely reads a cell at all.
    for (int32_t turn = -1; turn <= 1; ++turn) {
        const CellOffset o = kDirectionOffsets[turnDirection(D, turn)];
        if (circuit.contains(p.x + o.dx, p.y + o.dy))
            __builtin_prefetch(&circuit.cell(p.x + o.dx, p.y + o.dy));
    }
}

// The squared counts of the neighbours of p by orientation (1 to 4); returns their sum,
// 1 when it is 0.
int orientationSquares(const Circuit &circuit, const GridPoint &p, int squares[5])
{
    int counts[5] = {0, 0, 0, 0, 0};
    for (int d = 0; d < 8; ++d) {
        const int32_t o = circuit.orientationAt(p.x + kDirectionOffsets[d].dx, p.y + kDirectionOffsets[d].dy);
        if (o >= 1 && o <= 4)
            ++counts[o];
    }
    int total = 0;
    squares[0] = 0;
    for (int k = 1; k <= 4; ++k) {
        squares[k] = counts[k] * counts[k];
        total += squares[k];
    }
    return total == 0 ? 1 : total;
}

// The weights of going straight, left and right from cell s at p, heading D.
void candidateWeights(const GeneratorSettings &st, const Circuit &circuit, const CircuitCell *s, const GridPoint &p,
                      int32_t D, bool turnWeights, PowerCache &powers, double weight[3])
{
    int q[5];
    const int Q = orientationSquares(circuit, p, q);
    int32_t orient[3];
    for (int i = 0; i < 3; ++i) {
        const int32_t d = turnDirection(D, kTurns[i]);
        orient[i] = kDirectionOrientation[d];
        const float homog = float(st.tendencyHomogenity * float(q[orient[i]])) / float(Q);
        double raw = turnWeights ? double(s->values[orient[i]]) : 0.0;
        raw += double(homog);
        raw += double(st.tendencyRandom);
        if (i == 0)
            raw += double(st.tendencyStraight);
        weight[i] = raw;
    }
    if (isOrthogonalOrientation(orient[0])) {
        weight[0] += double(st.tendencyHv);
    } else {
        weight[1] += double(st.tendencyHv);
        weight[2] += double(st.tendencyHv);
    }
    // pow(w, 1) is w exactly; the common power of one skips three calls a step.
    if (st.tendencyPower != 1.0f) {
        for (int i = 0; i < 3; ++i)
            weight[i] = powers(weight[i]);
    }
    for (int i = 0; i < 3; ++i)
        weight[i] = finiteWeight(weight[i]);
}

} // namespace

Wire::StepResult Wire::step(const GeneratorSettings &st, RandomStream &s1, PowerCache &powers)
{
    const GridPoint p = circuit->position(cells.back());
    const int32_t D = (direction >= 0 && direction < 8) ? direction : 0;
    const bool turnWeights = circuit->hasTurnWeights();
    if (turnWeights)
        prefetchAhead(*circuit, p, D);
    double weight[3];
    candidateWeights(st, *circuit, cells.back(), p, D, turnWeights, powers, weight);
    return choose(weight, p, D, s1);
}

Wire::StepResult Wire::choose(const double weight[3], const GridPoint &p, int32_t D, RandomStream &s1)
{
    // Draw among the remaining candidates by weight until one can be entered.
    int remaining[3] = {0, 1, 2};
    int count = 3;
    while (count > 0) {
        double total = 0.0;
        for (int i = 0; i < count; ++i)
            total += weight[remaining[i]];
        const double v = total * s1.next();
        int pos;
        if (weight[remaining[0]] >= v)
            pos = 0;
        else if (count == 3)
            pos = (weight[remaining[0]] + weight[remaining[1]] >= v) ? 1 : 2;
        else if (count == 2)
            pos = 1;
        else
            pos = 0;
        const int cand = remaining[pos];
        for (int i = pos; i + 1 < count; ++i)
            remaining[i] = remaining[i + 1];
        --count;

        const int32_t d = turnDirection(D, kTurns[cand]);
        const int32_t nx = p.x + kDirectionOffsets[d].dx;
        const int32_t ny = p.y + kDirectionOffsets[d].dy;
        if (!circuit->isFreeAt(nx, ny))
            continue;
        CircuitCell *n = &circuit->cell(nx, ny);
        if (!circuit->diagonalCrossingPasses(d, nx, ny))
            continue;
        if (circuit->presenceBelowOne(n)) {
            const double r = s1.next();
            if (r > double(n->values[SlotPresence]))
                continue;
        }
        cells.push_back(n);
        circuit->setFree(n, false);
        circuit->setDirection(n, d);
        direction = d;
        return circuit->isPin(n) ? StepResult::Ended : StepResult::Stepped;
    }
    return StepResult::Failed;
}

void Wire::grow(const GeneratorSettings &st, RandomStreams &streams, PowerCache &powers)
{
    const int32_t maxCells = maxCellsOf(st.wireLength);
    while (int64_t(cells.size()) < int64_t(maxCells)) {
        if (step(st, streams.stream(StreamStart), powers) != StepResult::Stepped)
            break;
    }

    SignalRule::apply(this, st, streams.stream(StreamSignal));
}

bool Wire::addSecondLane()
{
    return SecondLane::add(this);
}
