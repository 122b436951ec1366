#include "randomstream.h"

#include <cmath>

const int kRandomStreamOffsets[5] = {0, 1000, 1333, 1666, 2333};

namespace {
RandomStream g_streams[5];
}

RandomStream &randomStream(int number)
{
    if (number < 1 || number > 5)
        number = 1;
    return g_streams[number - 1];
}

void reseedRandomStreams(qint32 seed)
{
    for (int i = 0; i < 5; ++i) {
        // 32-bit wrap-around without signed overflow: add as unsigned, convert back.
        const quint32 sum = quint32(seed) + quint32(kRandomStreamOffsets[i]);
        const qint32 wrapped = qint32(sum); // modular conversion (C++20 defined, GCC always)
        g_streams[i].reseed(qint64(wrapped));
    }
}

std::array<qint64, 5> randomStreamStates()
{
    std::array<qint64, 5> s;
    for (int i = 0; i < 5; ++i)
        s[i] = g_streams[i].state();
    return s;
}

void setRandomStreamStates(const std::array<qint64, 5> &states)
{
    for (int i = 0; i < 5; ++i)
        g_streams[i].reseed(states[i]);
}

int randomIndex(double r, int n)
{
    const double f = std::floor(r * double(n));
    if (!(f >= 0.0))
        return 0;
    if (f >= double(n))
        return n > 0 ? n - 1 : 0;
    return int(f);
}
