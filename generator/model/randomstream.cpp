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
