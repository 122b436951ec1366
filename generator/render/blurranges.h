#pragma once

#include <algorithm>

// The min-max ranges of the blurred images one Composite render stretches:
// the shadow, the two signal blurs and the two glow blurs. A banded render
// finds them over the whole canvas before it writes any band.
struct BlurRanges {
    struct Range {
        double low = 255;
        double high = 0;

        void merge(const Range &other)
        {
            low = std::min(low, other.low);
            high = std::max(high, other.high);
        }
    };

    enum Image { Shadow, Signal, SignalHalf, Glow, GlowHalf, Count };

    Range ranges[Count];

    void merge(const BlurRanges &other)
    {
        for (int i = 0; i < Count; ++i)
            ranges[i].merge(other.ranges[i]);
    }
};
