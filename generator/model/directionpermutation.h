// One ordering of the eight directions, read a direction at a time.
#pragma once

#include <cstdint>

class DirectionPermutation
{
public:
    // The index-th ordering of the directions 0 to 7 in lexicographic order (0 -> 0 1
    // 2 3 4 5 6 7, 40319 -> 7 6 5 4 3 2 1 0), from the factorial number system; an
    // index out of range is clamped into 0 .. 40319.
    explicit DirectionPermutation(int index);

    // The next direction of the ordering; at most eight calls. Each works out one
    // digit: the start rule mostly takes the first direction and skips the rest.
    int32_t next();

private:
    int m_rest; // the digits not yet read
    int m_read = 0;
    // The directions not yet read, in order, four bits each from the lowest: taking
    // one out is a shift, not a loop that ends at random.
    uint64_t m_pool = 0x76543210u;
};
