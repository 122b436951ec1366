#include "directions.h"

const CellOffset kDirectionOffsets[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};

const int32_t kDirectionOrientation[8] = {4, 1, 2, 3, 4, 1, 2, 3};

const CellOffset kLaneOffsetsLeftA[8] = {{-1, 0}, {-1, 0}, {0, -1}, {0, -1}, {1, 0}, {1, 0}, {0, 1}, {0, 1}};
const CellOffset kLaneOffsetsLeftB[8] = {{0, 1}, {-1, 0}, {-1, 0}, {0, -1}, {0, -1}, {1, 0}, {1, 0}, {0, 1}};
const CellOffset kLaneOffsetsRightA[8] = {{0, -1}, {1, 0}, {1, 0}, {0, 1}, {0, 1}, {-1, 0}, {-1, 0}, {0, -1}};
const CellOffset kLaneOffsetsRightB[8] = {{1, 0}, {1, 0}, {0, 1}, {0, 1}, {-1, 0}, {-1, 0}, {0, -1}, {0, -1}};

void directionPermutation(int index, int32_t out[8])
{
    if (index < 0)
        index = 0;
    if (index >= kDirectionPermutationCount)
        index = kDirectionPermutationCount - 1;
    static const int kFactorial[8] = {5040, 720, 120, 24, 6, 2, 1, 1};
    int32_t pool[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    int poolSize = 8;
    for (int i = 0; i < 8; ++i) {
        const int f = kFactorial[i];
        const int pick = index / f;
        index %= f;
        out[i] = pool[pick];
        for (int j = pick; j + 1 < poolSize; ++j)
            pool[j] = pool[j + 1];
        --poolSize;
    }
}
