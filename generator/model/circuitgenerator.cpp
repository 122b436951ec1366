// CircuitGenerator: the generation run and the result map.
#include "circuitgenerator.h"

#include "celllist.h"
#include "eraseat.h"
#include "generationbudget.h"
#include "parametertable.h"
#include "randomstreams.h"
#include "saturatingint.h"

#include <algorithm>
#include <cmath>
#include <limits>

CircuitGenerator::CircuitGenerator()
    : m_ownStreams(std::make_unique<RandomStreams>())
    , m_streams(*m_ownStreams)
{ }

CircuitGenerator::CircuitGenerator(RandomStreams &streams)
    : m_streams(streams)
{ }

CircuitGenerator::~CircuitGenerator() = default;

QVariantMap CircuitGenerator::generate(const QVariantMap &parameters)
{
    readParameters(parameters);
    generateCircuit();
    return resultMap();
}

void CircuitGenerator::readParameters(const QVariantMap &parameters)
{
    // Reading draws nothing, so reseeding after the whole map equals reseeding right
    // after "seed".
    m_parameters = parameters;
    ParameterTable::read(parameters, &m_settings);
    m_streams.reseed(m_settings.seed);
    m_masks.update(m_settings);
}

void CircuitGenerator::resetSeed()
{
    m_streams.reseed(m_settings.seed);
}

namespace {

int32_t clampInt(int64_t v, int32_t lo, int32_t hi)
{
    return int32_t(v < lo ? lo : (v > hi ? hi : v));
}

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

float thicknessDraw(const GeneratorSettings &s, RandomStreams &streams)
{
    if (streams.stream(StreamThick).next() < double(s.wireThickPercent)) {
        if (streams.stream(StreamThickLevel).next() < 0.25)
            return s.maxWireThickness;
        return (s.maxWireThickness + 1.0f) * 0.5f;
    }
    return 1.0f;
}

// trunc(cutoff_length * cutoff_length * wire_length * 200), every product in single precision.
int32_t cutoffLimit(const GeneratorSettings &s)
{
    float limit = s.cutoffLength * s.cutoffLength;
    limit = limit * s.wireLength;
    limit = limit * 200.0f;
    return saturatingTrunc(limit);
}

float meanDensity(const Circuit &circuit, const Wire *w)
{
    if (!circuit.hasDensity())
        return 0.0f; // every value +0: so is their sum
    float sum = 0.0f;
    for (const CircuitCell *c : w->cells)
        sum += c->values[SlotAdjustDensity];
    return sum / float(w->cells.size());
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

void computeCellFields(Circuit &circuit, const CircuitGenerator &gen)
{
    const GeneratorSettings &s = gen.settings();
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
            const float mask = gen.maskValue(float(u), float(v));
            cell.values[SlotPresence] = mask * std::max(0.0f, 1.0f - cell.values[SlotAdjustMasking]);
        }
    }
}

// What the cut-off rules ask of a kept wire. Its cells, its lane ends and the pins never
// change once it is kept, so the answers are taken then, while its cells are at hand:
// the passes read these instead of the wires, which lie scattered over the heap.
struct CutoffTraits {
    bool attached; // to a chip: never cut
    bool shortWire; // no longer than the cut-off limit
    bool startsUnderChip;
    bool singleFaintCell; // one cell, of presence below 0.5
};

CutoffTraits cutoffTraits(const Circuit &circuit, const Wire &w, int32_t limit)
{
    const CircuitCell *front = w.cells.front();
    // Presence below 0.5 is below 1 too: the state byte answers that without loading the cell.
    const bool singleFaintCell
            = w.cells.size() == 1 && circuit.presenceBelowOne(front) && front->values[SlotPresence] < 0.5f;
    return {w.attachedToChip(), int64_t(w.cells.size()) <= int64_t(limit), circuit.underChip(front), singleFaintCell};
}

// The cut-off rules; shortWireCut: whether the draw lets a short wire be cut.
bool isCut(const CutoffTraits &t, bool shortWireCut)
{
    return !t.attached && ((t.shortWire && shortWireCut) || t.startsUnderChip || t.singleFaintCell);
}

// Whether a cut-off marking could remove the wire. The draw it compares with the cut-off
// percentage lies in (-1, 1); the other rules depend only on the wire.
bool canBeCut(const CutoffTraits &t, float cutoffPercentage)
{
    return isCut(t, !(cutoffPercentage <= -1.0f));
}

bool anyWireCanBeCut(const std::vector<CutoffTraits> &traits, float cutoffPercentage)
{
    return std::any_of(traits.begin(), traits.end(),
                       [cutoffPercentage](const CutoffTraits &t) { return canBeCut(t, cutoffPercentage); });
}

// The cut-off marking: one draw of stream 4 per wire, in order; returns the positions of
// the wires it removes.
std::vector<size_t> markCutoff(const std::vector<CutoffTraits> &traits, float cutoffPercentage, RandomStream &s4)
{
    std::vector<size_t> removed;
    for (size_t i = 0; i < traits.size(); ++i) {
        const double r = s4.next();
        if (isCut(traits[i], r <= double(cutoffPercentage)))
            removed.push_back(i);
    }
    return removed;
}

// Deletes the wires at `removed` (ascending), freeing their cells and lane ends and
// queueing those as candidates again, in order.
template<class List>
void deleteCutWires(Circuit &circuit, const std::vector<size_t> &removed, List &candidates)
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

// Advances a stream by `count` draws as if each had been made. A stream has fewer than
// 2 x kModulus states, so after that many draws it runs round its cycle, whose length
// then reduces the rest; at most about 1.4 million draws whatever `count` is.
void skipDraws(RandomStream &stream, uint64_t count)
{
    const uint64_t enterCycle = 2 * uint64_t(RandomStream::kModulus);
    if (count <= enterCycle) {
        for (uint64_t i = 0; i < count; ++i)
            stream.next();
        return;
    }
    for (uint64_t i = 0; i < enterCycle; ++i)
        stream.next();
    const qint64 mark = stream.state();
    uint64_t period = 0;
    do {
        stream.next();
        ++period;
    } while (stream.state() != mark);
    const uint64_t rest = (count - enterCycle) % period; // a whole period changes nothing
    for (uint64_t i = 0; i < rest; ++i)
        stream.next();
}

// Takes a kept wire's cells, then its lane ends, out of the list. The entries are
// requested together first: on a large grid each lookup misses the cache.
template<class List>
void removeWireCells(List &list, const Circuit &circuit, const Wire &w)
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
bool placeChips(Circuit &circuit, const GeneratorSettings &s, List &pins, GenerationBudget &budget)
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

// False when the run exceeds the budget; the circuit is then unfinished.
template<class List>
bool runGeneration(Circuit &circuit, const CircuitGenerator &gen, RandomStreams &streams, GenerationBudget &budget)
{
    const GeneratorSettings &s = gen.settings();
    const int32_t cellCount = int32_t(circuit.cellCount());
    if (cellCount <= 0)
        return true; // empty grid: no chips, nothing drawn

    List candidates(cellCount);
    List pins(cellCount);

    computeCellFields(circuit, gen);
    candidates.appendSequential(cellCount); // x-major, the order of indexOf
    if (!placeChips(circuit, s, pins, budget))
        return false;
    circuit.summariseCells();

    RandomStream &s1 = streams.stream(StreamStart);
    RandomStream &s4 = streams.stream(StreamCutoff);
    const int32_t limit = cutoffLimit(s);
    std::vector<CutoffTraits> traits; // of circuit.wires(), in the same order

    // Pin wires.
    while (!pins.empty()) {
        const double r = s1.next();
        CircuitCell &start = circuit.cellByIndex(pins.at(randomIndex(r, pins.size())));
        circuit.setFree(&start, false);
        Wire *w = circuit.newWire(&start, s1);
        w->thickness = thicknessDraw(s, streams);
        w->grow(s, streams);
        removeWireCells(candidates, circuit, *w);
        removeWireCells(pins, circuit, *w);
        traits.push_back(cutoffTraits(circuit, *w, limit));
    }

    // Fill passes.
    for (int32_t pass = 0; pass < s.loops; ++pass) {
        // With nothing to fill and no wire that a cut-off could remove, this pass and all
        // later ones change nothing but stream 4, which draws once per wire and pass.
        if (candidates.empty() && !anyWireCanBeCut(traits, s.cutoffPercentage)) {
            skipDraws(s4, uint64_t(s.loops - pass) * uint64_t(circuit.wires().size()));
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
                attempt->grow(s, streams);
                if (c >= double(s.denseAmount) && meanDensity(circuit, attempt.get()) <= 0.5f)
                    break;
                attempt->addSecondLane();
                if (attempt->density == 2 || i == 9)
                    break;
                circuit.releaseWire(attempt.get());
            }
            removeWireCells(candidates, circuit, *attempt);
            traits.push_back(cutoffTraits(circuit, *attempt, limit));
            circuit.addWire(*attempt);
        }

        // Cut-off marking.
        if (!budget.chargeCutoff(int64_t(circuit.wires().size())))
            return false;
        const std::vector<size_t> removed = markCutoff(traits, s.cutoffPercentage, s4);
        deleteCutWires(circuit, removed, candidates);
        eraseAt(traits, removed);
    }
    return true;
}

} // namespace

Circuit *CircuitGenerator::generateCircuit()
{
    m_circuit.reset();
    m_lastError.clear();
    // A mask that is used but could not be loaded would silently hide every wire.
    const bool fileMaskUsed = !m_settings.maskTypeText && m_settings.masking > 0.0f && m_masks.hasFileMask();
    if (fileMaskUsed && !m_masks.fileMaskError().isEmpty()) {
        m_lastError = m_masks.fileMaskError();
        m_circuit = std::make_unique<Circuit>(0, 0);
        return m_circuit.get();
    }
    const GridSize grid = gridSize();
    GenerationBudget budget;
    // Checked before the grid is allocated: a refused map costs next to nothing.
    if (grid.valid && !budget.admit(m_settings, int64_t(grid.columns) * grid.rows)) {
        m_lastError = budget.error();
        m_circuit = std::make_unique<Circuit>(0, 0);
        return m_circuit.get();
    }
    m_circuit = std::make_unique<Circuit>(grid.valid ? grid.columns : 0, grid.valid ? grid.rows : 0);
    const bool done = m_listStrategy == ListStrategy::Linear
            ? runGeneration<LinearCellList>(*m_circuit, *this, m_streams, budget)
            : runGeneration<IndexedCellList>(*m_circuit, *this, m_streams, budget);
    if (!done) {
        m_lastError = budget.error();
        m_circuit = std::make_unique<Circuit>(0, 0);
    }
    return m_circuit.get();
}

QVariantMap CircuitGenerator::resultMap()
{
    QVariantList wires;
    if (m_circuit) {
        wires.reserve(int(m_circuit->wires().size()));
        const int32_t limit = cutoffLimit(m_settings);
        RandomStream &s4 = m_streams.stream(StreamCutoff);
        for (const auto &w : m_circuit->wires()) {
            const double r = s4.next();
            if (!(int64_t(w->cells.size()) > int64_t(limit) || r > double(m_settings.cutoffPercentage)))
                continue;
            QVariantList xy;
            xy.reserve(int(w->cells.size()));
            for (const CircuitCell *c : w->cells) {
                const GridPoint p = m_circuit->position(c); // without reading the cell
                xy.append(QVariant(QVariantList {QVariant(int(p.x)), QVariant(int(p.y))}));
            }
            QVariantMap entry;
            entry.insert(QStringLiteral("xy"), xy);
            entry.insert(QStringLiteral("thickness"), QVariant(w->thickness));
            entry.insert(QStringLiteral("density"), QVariant(int(w->density)));
            wires.append(QVariant(entry));
        }
    }
    QVariantMap result;
    result.insert(QStringLiteral("wires"), wires);
    return result;
}
