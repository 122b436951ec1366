// The five process-wide linear congruential random streams.
#pragma once

#include <QtGlobal>
#include <array>

class RandomStream
{
public:
    static constexpr qint64 kMultiplier = 9301;
    static constexpr qint64 kIncrement = 49297;
    static constexpr qint64 kModulus = 233280;

    explicit RandomStream(qint64 state = 0)
        : m_state(state)
    { }

    void reseed(qint64 state) { m_state = state; }
    qint64 state() const { return m_state; }

    // state = (state * 9301 + 49297) mod 233280 (remainder keeps the sign of the
    // dividend); returns state / 233280.0. In [0, 1) for a non-negative state,
    // in (-1, 0] when the state is negative (negative seeds).
    double next()
    {
        m_state = (m_state * kMultiplier + kIncrement) % kModulus;
        return double(m_state) / 233280.0;
    }

private:
    qint64 m_state;
};

// Stream numbers 1 to 5.
enum RandomStreamId {
    StreamStart = 1, // start cells, start direction, growth steps, presence, dense draw
    StreamThick = 2, // whether a wire is thick
    StreamThickLevel = 3, // which thick level
    StreamCutoff = 4, // cut-off draws, result filtering
    StreamSignal = 5 // signals; renderers' draws
};

// The one set of five streams of the library, shared by every generator and renderer.
RandomStream &randomStream(int number); // number 1 to 5 (out of range -> stream 1)

// Offsets of the five initial states from the seed: 0, 1000, 1333, 1666, 2333.
extern const int kRandomStreamOffsets[5];

// Sets stream i to seed + offset_i, the sum formed with 32-bit two's-complement
// wrap-around and then widened to 64 bits.
void reseedRandomStreams(qint32 seed);

// Snapshot and restore of the five states (tests, exports that must not disturb).
std::array<qint64, 5> randomStreamStates();
void setRandomStreamStates(const std::array<qint64, 5> &states);

// A safe list index from a stream value: trunc(floor(r * n)), taken as 0 when below
// zero (negative seeds) and as n - 1 when at or above n. n must be > 0.
int randomIndex(double r, int n);
