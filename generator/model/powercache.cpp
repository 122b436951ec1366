#include "powercache.h"

PowerCache::PowerCache(double exponent)
    : m_exponent(exponent)
{
    m_bases.fill(0);
    m_powers.fill(std::pow(0.0, exponent));
}
