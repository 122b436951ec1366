#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

// pow(base, exponent) for one exponent, remembered for the bases met: each step of a wire
// raises three weights to the tendency power, and the weights take few distinct values
// (on a grid without adjustments or modifiers a few hundred), so most steps find theirs
// here instead of calling pow, which was a fifth of generation. The results are pow's
// own, to the bit.
class PowerCache
{
public:
    explicit PowerCache(double exponent);

    double operator()(double base)
    {
        uint64_t bits;
        std::memcpy(&bits, &base, sizeof bits);
        const size_t slot = size_t((bits * 0x9E3779B97F4A7C15ull) >> (64 - kSlotBits));
        if (m_bases[slot] != bits) {
            m_bases[slot] = bits;
            m_powers[slot] = std::pow(base, m_exponent);
        }
        return m_powers[slot];
    }

private:
    static constexpr int kSlotBits = 10;
    double m_exponent;
    // Every slot starts as base 0.0 (all bits zero) with its true power.
    std::array<uint64_t, size_t(1) << kSlotBits> m_bases;
    std::array<double, size_t(1) << kSlotBits> m_powers;
};
