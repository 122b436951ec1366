#include "directions.h"

#include "directionpermutation.h"

const CellOffset kDirectionOffsets[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};

const int32_t kDirectionOrientation[8] = {4, 1, 2, 3, 4, 1, 2, 3};

const CellOffset kLaneOffsetsLeftA[8] = {{-1, 0}, {-1, 0}, {0, -1}, {0, -1}, {1, 0}, {1, 0}, {0, 1}, {0, 1}};
const CellOffset kLaneOffsetsLeftB[8] = {{0, 1}, {-1, 0}, {-1, 0}, {0, -1}, {0, -1}, {1, 0}, {1, 0}, {0, 1}};
const CellOffset kLaneOffsetsRightA[8] = {{0, -1}, {1, 0}, {1, 0}, {0, 1}, {0, 1}, {-1, 0}, {-1, 0}, {0, -1}};
const CellOffset kLaneOffsetsRightB[8] = {{1, 0}, {1, 0}, {0, 1}, {0, 1}, {-1, 0}, {-1, 0}, {0, -1}, {0, -1}};

void directionPermutation(int index, int32_t out[8])
{
    DirectionPermutation order(index);
    for (int i = 0; i < 8; ++i)
        out[i] = order.next();
}
