#include "randomstream.h"

#include <cmath>

int randomIndex(double r, int n)
{
    const double f = std::floor(r * double(n));
    if (!(f >= 0.0))
        return 0;
    if (f >= double(n))
        return n > 0 ? n - 1 : 0;
    return int(f);
}

void RandomStream::skip(quint64 count)
{
    const quint64 enterCycle = 2 * quint64(RandomStream::kModulus);
    if (count <= enterCycle) {
        for (quint64 i = 0; i < count; ++i)
            next();
        return;
    }
    for (quint64 i = 0; i < enterCycle; ++i)
        next();
    const qint64 mark = state();
    quint64 period = 0;
    do {
        next();
        ++period;
    } while (state() != mark);
    const quint64 rest = (count - enterCycle) % period; // a whole period changes nothing
    for (quint64 i = 0; i < rest; ++i)
        next();
}
