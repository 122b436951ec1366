#include "directionpermutation.h"

#include "directions.h"

#include <QtGlobal>

DirectionPermutation::DirectionPermutation(int index)
    : m_rest(qBound(0, index, kDirectionPermutationCount - 1))
{ }

int32_t DirectionPermutation::next()
{
    Q_ASSERT(m_read < 8);
    static const int kFactorial[8] = {5040, 720, 120, 24, 6, 2, 1, 1};
    const int place = kFactorial[m_read];
    const int pick = m_rest / place;
    m_rest %= place;
    const int shift = 4 * pick;
    const int32_t direction = int32_t((m_pool >> shift) & 0xfu);
    const uint64_t below = m_pool & ((uint64_t(1) << shift) - 1);
    m_pool = below | ((m_pool >> (shift + 4)) << shift);
    ++m_read;
    return direction;
}
