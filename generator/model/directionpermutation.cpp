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
    const int32_t direction = m_pool[pick];
    for (int j = pick; j + 1 < 8 - m_read; ++j)
        m_pool[j] = m_pool[j + 1];
    ++m_read;
    return direction;
}
