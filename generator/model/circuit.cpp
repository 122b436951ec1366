#include "circuit.h"

#include "generatorsettings.h"
#include "randomstream.h"
#include "saturatingint.h"

#include <cmath>
#include <limits>

// ---------------------------------------------------------------------------
// Grid geometry

GridSize Circuit::gridSize(int32_t width, int32_t height, float scale)
{
    GridSize g;
    if (!(scale > 0.0f) || !std::isfinite(scale) || width <= 0 || height <= 0)
        return g;
    const float size = cellSize(scale);
    if (!(size > 0.0f) || !std::isfinite(size))
        return g;
    const double cols = std::ceil(double(width) / double(size));
    const double rows = std::ceil(double(height) / double(size));
    if (!(cols * rows <= double(kMaxCells))) {
        g.tooLarge = true;
        return g;
    }
    g.columns = int32_t(cols);
    g.rows = int32_t(rows);
    g.valid = true;
    return g;
}

// ---------------------------------------------------------------------------
// Circuit

Circuit::Circuit(int32_t columns, int32_t rows)
    : m_columns(columns > 0 && rows > 0 ? columns : 0)
    , m_rows(columns > 0 && rows > 0 ? rows : 0)
{
    m_cells.resize(size_t(m_columns) * size_t(m_rows));
    size_t i = 0;
    for (int32_t x = 0; x < m_columns; ++x) {
        for (int32_t y = 0; y < m_rows; ++y) {
            m_cells[i].x = x;
            m_cells[i].y = y;
            ++i;
        }
    }
}

Circuit::~Circuit()
{
    for (Wire *w : m_wires)
        delete w;
}

Wire *Circuit::newWire(CircuitCell *startCell)
{
    Wire *w = new Wire(this, startCell);
    m_wires.push_back(w);
    return w;
}

void Circuit::addWire(Wire *wire)
{
    m_wires.push_back(wire);
}

static void releaseCell(CircuitCell *c)
{
    c->free = true;
    c->orientation = -1;
    c->direction = -1;
}

void Circuit::releaseWire(Wire *wire)
{
    for (CircuitCell *c : wire->cells)
        releaseCell(c);
    if (wire->laneEndStart)
        releaseCell(wire->laneEndStart);
    if (wire->laneEndEnd)
        releaseCell(wire->laneEndEnd);
}

void Circuit::deleteRemovedWires()
{
    size_t out = 0;
    for (size_t i = 0; i < m_wires.size(); ++i) {
        Wire *w = m_wires[i];
        if (w->removed)
            delete w;
        else
            m_wires[out++] = w;
    }
    m_wires.resize(out);
}

void Circuit::reserveChips(size_t n)
{
    m_chipSpecs.reserve(n);
    m_chips.reserve(n);
}

const ChipSpec *Circuit::addChip(const ChipSpec &chipSpec, const ChipPlacement &placement)
{
    // reserveChips keeps earlier references valid; beyond the reservation this
    // would reallocate, so callers reserve first.
    Q_ASSERT(m_chipSpecs.size() < m_chipSpecs.capacity() || m_chipSpecs.capacity() == 0);
    m_chipSpecs.push_back(chipSpec);
    m_chips.push_back(placement);
    return &m_chipSpecs.back();
}

// ---------------------------------------------------------------------------
// Wire: start rule

Wire::Wire(Circuit *owner, CircuitCell *s)
    : circuit(owner)
{
    cells.push_back(s);
    s->free = false;
    if (s->direction >= 0) {
        direction = s->direction;
        return;
    }
    const double r = randomStream(StreamStart).next();
    int32_t order[8];
    directionPermutation(int(std::trunc(std::fmax(r * double(kDirectionPermutationCount), 0.0))), order);
    int32_t d = 0;
    for (int i = 0; i < 8; ++i) {
        const CellOffset o = kDirectionOffsets[order[i]];
        const CircuitCell *n = circuit->cellAt(s->x + o.dx, s->y + o.dy);
        if (n && n->free) {
            d = order[i];
            break;
        }
    }
    direction = d;
    s->direction = d;
    s->orientation = kDirectionOrientation[d];
}

Wire::~Wire() = default;

bool Wire::attachedToChip() const
{
    if (cells.front()->pinDirection >= 0 || cells.back()->pinDirection >= 0)
        return true;
    if (laneEndStart && laneEndEnd)
        return laneEndStart->pinDirection >= 0 || laneEndEnd->pinDirection >= 0;
    return false;
}

// ---------------------------------------------------------------------------
// Wire growth

// Diagonal crossing check for a step in direction d arriving at cell (nx, ny).
// Odd directions always pass. The flank cells share a side with both cells.
static bool diagonalCrossingPasses(const Circuit *circuit, int32_t d, int32_t nx, int32_t ny)
{
    if (d < 0 || d > 7 || (d & 1))
        return true;
    const CellOffset o = kDirectionOffsets[d];
    // p = n - o; flanks (p.x + dx, p.y) = (n.x, n.y - dy) and (p.x, p.y + dy) = (n.x - dx, n.y).
    const CircuitCell *f1 = circuit->cellAt(nx, ny - o.dy);
    const CircuitCell *f2 = circuit->cellAt(nx - o.dx, ny);
    const int32_t crossing = (d == 0 || d == 4) ? OrientDiagonalNE : OrientDiagonalNW;
    // Off-grid flanks cannot occur for on-grid steps; treat them as free to stay safe.
    const bool free1 = !f1 || f1->free;
    const bool free2 = !f2 || f2->free;
    if (free1 || free2)
        return true;
    return f1->orientation != crossing && f2->orientation != crossing;
}

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

Wire::StepResult Wire::step(const GeneratorSettings &st)
{
    CircuitCell *s = cells.back();
    const int32_t D = (direction >= 0 && direction < 8) ? direction : 0;

    // 1. Neighbour orientation counts.
    int counts[5] = {0, 0, 0, 0, 0};
    for (int d = 0; d < 8; ++d) {
        const CircuitCell *n = circuit->cellAt(s->x + kDirectionOffsets[d].dx, s->y + kDirectionOffsets[d].dy);
        if (n && n->orientation >= 1 && n->orientation <= 4)
            ++counts[n->orientation];
    }
    int q[5] = {0, 0, 0, 0, 0};
    int Q = 0;
    for (int k = 1; k <= 4; ++k) {
        q[k] = counts[k] * counts[k];
        Q += q[k];
    }
    if (Q == 0)
        Q = 1;

    // 2.-5. Candidates straight, left, right and their weights.
    static const int32_t kTurns[3] = {0, -1, 1};
    double weight[3];
    int32_t orient[3];
    for (int i = 0; i < 3; ++i) {
        const int32_t d = turnDirection(D, kTurns[i]);
        orient[i] = kDirectionOrientation[d];
        const float homog = float(st.tendencyHomogenity * float(q[orient[i]])) / float(Q);
        double raw = double(s->values[orient[i]]);
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
    for (int i = 0; i < 3; ++i)
        weight[i] = finiteWeight(std::pow(weight[i], double(st.tendencyPower)));

    // 6. Selection loop.
    int remaining[3] = {0, 1, 2};
    int count = 3;
    RandomStream &s1 = randomStream(StreamStart);
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
        const int32_t nx = s->x + kDirectionOffsets[d].dx;
        const int32_t ny = s->y + kDirectionOffsets[d].dy;
        CircuitCell *n = circuit->cellAt(nx, ny);
        if (!n || !n->free)
            continue;
        if (!diagonalCrossingPasses(circuit, d, nx, ny))
            continue;
        if (n->values[SlotPresence] < 1.0f) {
            const double r = s1.next();
            if (r > double(n->values[SlotPresence]))
                continue;
        }
        cells.push_back(n);
        n->free = false;
        n->direction = d;
        n->orientation = kDirectionOrientation[d];
        direction = d;
        return n->pinDirection >= 0 ? StepResult::Ended : StepResult::Stepped;
    }
    return StepResult::Failed;
}

void Wire::grow(const GeneratorSettings &st)
{
    const int32_t maxCells = maxCellsOf(st.wireLength);
    while (int64_t(cells.size()) < int64_t(maxCells)) {
        if (step(st) != StepResult::Stepped)
            break;
    }

    // Signal rule.
    if (cells.size() < 2)
        return;
    RandomStream &s5 = randomStream(StreamSignal);
    const double r = s5.next();
    bool signal = r < double(st.signalAmount);
    if (!signal) {
        for (const CircuitCell *c : cells) {
            if (c->values[SlotAdjustSignal] > 1.0f) {
                signal = true;
                break;
            }
        }
    }
    if (!signal)
        return;
    signalPosition = float(s5.next());
    double size = (0.5 - s5.next()) * double(st.signalSizeVariance) + double(st.signalSize);
    if (!(size >= 0.0))
        size = 0.0; // below 0 (or not a number) becomes 0
    if (size > 1.0)
        size = 1.0;
    signalSize = float(size);
}

// ---------------------------------------------------------------------------
// Second lane

// Check code of the offset used at an end cell, or -1 for an offset not in the list.
static int laneCheckCode(uint8_t side, CellOffset o)
{
    if (side == 1) {
        if (o == CellOffset {0, -1})
            return 5;
        if (o == CellOffset {-1, 0})
            return 3;
        if (o == CellOffset {0, 1})
            return 1;
        if (o == CellOffset {1, 0})
            return 0;
    } else {
        if (o == CellOffset {0, -1})
            return 1;
        if (o == CellOffset {-1, 0})
            return 7;
        if (o == CellOffset {0, 1})
            return 5;
        if (o == CellOffset {1, 0})
            return 4;
    }
    return -1;
}

static bool laneEndCheckPasses(const Circuit *circuit, const CircuitCell *end, uint8_t side, CellOffset o)
{
    const bool interior = end->x > 0 && end->x < circuit->columns() - 1 && end->y > 0 && end->y < circuit->rows() - 1;
    if (!interior)
        return true;
    const int code = laneCheckCode(side, o);
    if (code < 0)
        return true; // cannot occur: the tables hold only these four offsets
    if (code & 1)
        return true;
    return diagonalCrossingPasses(circuit, code, end->x, end->y);
}

bool Wire::addSecondLane()
{
    if (cells.size() <= 5 || thickness != 1.0f || density == 2)
        return false;
    CircuitCell *A = cells.front();
    CircuitCell *B = cells.back();
    if (A->direction < 0 || A->direction > 7 || B->direction < 0 || B->direction > 7)
        return false;

    struct Try {
        const CellOffset *tableA;
        const CellOffset *tableB;
        uint8_t side;
    };
    static const Try kTries[8] = {
            {kLaneOffsetsLeftA, kLaneOffsetsLeftA, 0}, {kLaneOffsetsRightA, kLaneOffsetsRightA, 1},
            {kLaneOffsetsLeftA, kLaneOffsetsLeftB, 0}, {kLaneOffsetsRightA, kLaneOffsetsRightB, 1},
            {kLaneOffsetsLeftB, kLaneOffsetsLeftA, 0}, {kLaneOffsetsRightB, kLaneOffsetsRightA, 1},
            {kLaneOffsetsLeftB, kLaneOffsetsLeftB, 0}, {kLaneOffsetsRightB, kLaneOffsetsRightB, 1},
    };
    for (const Try &t : kTries) {
        const CellOffset oa = t.tableA[A->direction];
        const CellOffset ob = t.tableB[B->direction];
        CircuitCell *a = circuit->cellAt(A->x + oa.dx, A->y + oa.dy);
        CircuitCell *b = circuit->cellAt(B->x + ob.dx, B->y + ob.dy);
        if (!a || !b || !a->free || !b->free)
            continue;
        if (!laneEndCheckPasses(circuit, A, t.side, oa) || !laneEndCheckPasses(circuit, B, t.side, ob))
            continue;
        laneEndStart = a;
        laneEndEnd = b;
        a->free = false;
        b->free = false;
        density = 2;
        laneSide = t.side;
        return true;
    }
    return false;
}
