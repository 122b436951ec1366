// RandomStreams: the five streams that drive one generation and the random choices of its
// artwork. Whoever generates owns a set and hands it down by reference: the plug-in keeps
// exactly one for everything in it, a batch worker one of its own.
#pragma once

#include "randomstream.h"

#include <array>

class RandomStreams
{
public:
    using States = std::array<qint64, 5>;

    // Offsets of the five initial states from the seed: 0, 1000, 1333, 1666, 2333.
    static constexpr int kOffsets[5] = {0, 1000, 1333, 1666, 2333};

    RandomStreams() = default;

    RandomStream &stream(RandomStreamId id) { return m_streams[index(id)]; }
    const RandomStream &stream(RandomStreamId id) const { return m_streams[index(id)]; }

    // Sets stream i to seed + offset_i, the sum formed with 32-bit two's-complement
    // wrap-around and then widened to 64 bits.
    void reseed(qint32 seed);

    // Snapshot and restore of the five states.
    States states() const;
    void setStates(const States &states);

private:
    // Stream numbers 1 to 5; any other number is stream 1.
    static int index(RandomStreamId id) { return id >= 1 && id <= 5 ? int(id) - 1 : 0; }

    std::array<RandomStream, 5> m_streams;
};
