#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncates toward zero into the 32-bit range: values beyond it are clamped and NaN
// gives 0, so no parameter value reaches an undefined float-to-int conversion.
inline int32_t saturatingTrunc(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}
