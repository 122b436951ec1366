#include "secondlane.h"

#include "circuit.h"

namespace {

// Check code of the offset used at an end cell, or -1 for an offset not in the list.
int laneCheckCode(uint8_t side, CellOffset o)
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

bool laneEndCheckPasses(const Circuit *circuit, GridPoint end, uint8_t side, CellOffset o)
{
    const bool interior = end.x > 0 && end.x < circuit->columns() - 1 && end.y > 0 && end.y < circuit->rows() - 1;
    if (!interior)
        return true;
    const int code = laneCheckCode(side, o);
    if (code < 0)
        return true; // cannot occur: the tables hold only these four offsets
    if (code & 1)
        return true;
    return circuit->diagonalCrossingPasses(code, end.x, end.y);
}

} // namespace

bool SecondLane::add(Wire *wire)
{
    auto &cells = wire->cells;
    Circuit *circuit = wire->circuit;
    if (cells.size() <= 5 || wire->thickness != 1.0f || wire->density == 2)
        return false;
    const int32_t directionA = circuit->direction(cells.front());
    const int32_t directionB = circuit->direction(cells.back());
    if (directionA < 0 || directionA > 7 || directionB < 0 || directionB > 7)
        return false;
    const GridPoint A = circuit->position(cells.front());
    const GridPoint B = circuit->position(cells.back());

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
        const CellOffset oa = t.tableA[directionA];
        const CellOffset ob = t.tableB[directionB];
        CircuitCell *a = circuit->cellAt(A.x + oa.dx, A.y + oa.dy);
        CircuitCell *b = circuit->cellAt(B.x + ob.dx, B.y + ob.dy);
        if (!a || !b || !circuit->isFree(a) || !circuit->isFree(b))
            continue;
        if (!laneEndCheckPasses(circuit, A, t.side, oa) || !laneEndCheckPasses(circuit, B, t.side, ob))
            continue;
        wire->laneEndStart = a;
        wire->laneEndEnd = b;
        circuit->setFree(a, false);
        circuit->setFree(b, false);
        wire->density = 2;
        wire->laneSide = t.side;
        return true;
    }
    return false;
}
