// Direction codes, orientation classes and the constant step tables.
#pragma once

#include <cstdint>

// A step between neighbouring cells: 0 north-west, clockwise to 7 west.
enum Direction : int32_t {
    DirNorthWest = 0,
    DirNorth = 1,
    DirNorthEast = 2,
    DirEast = 3,
    DirSouthEast = 4,
    DirSouth = 5,
    DirSouthWest = 6,
    DirWest = 7
};

// Orientation class of a step; opposite directions share one. 1 and 3 are orthogonal.
enum Orientation : int32_t {
    OrientVertical = 1,
    OrientDiagonalNE = 2, // north-east / south-west diagonal
    OrientHorizontal = 3,
    OrientDiagonalNW = 4 // north-west / south-east diagonal
};

struct CellOffset {
    int32_t dx;
    int32_t dy;
};

inline bool operator==(CellOffset a, CellOffset b)
{
    return a.dx == b.dx && a.dy == b.dy;
}

// kDirectionOffsets[d]: (dx, dy) of direction d (x right, y down).
extern const CellOffset kDirectionOffsets[8];
// kDirectionOrientation[d]: Orientation of direction d.
inline constexpr int32_t kDirectionOrientation[8] = {4, 1, 2, 3, 4, 1, 2, 3};

// Second-lane offset tables, indexed by a cell's direction 0 to 7.
extern const CellOffset kLaneOffsetsLeftA[8];
extern const CellOffset kLaneOffsetsLeftB[8];
extern const CellOffset kLaneOffsetsRightA[8];
extern const CellOffset kLaneOffsetsRightB[8];

// Number of orderings of the eight directions (8!); see DirectionPermutation.
constexpr int kDirectionPermutationCount = 40320;

// (d + t + 8) mod 8 for a direction d in 0..7 and a turn t in -1..1.
inline int32_t turnDirection(int32_t d, int32_t t)
{
    return (d + t + 8) % 8;
}

// True for 1 and 3 (vertical, horizontal).
inline bool isOrthogonalOrientation(int32_t o)
{
    return o == OrientVertical || o == OrientHorizontal;
}
// True for the odd direction codes (north, east, south, west).
inline bool isOrthogonalDirection(int32_t d)
{
    return (d & 1) != 0;
}
