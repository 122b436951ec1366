// One linear congruential random stream; RandomStreams holds the set of five.
#pragma once

#include <QtGlobal>

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

    // Advances the stream by count draws as if each had been made. A stream has fewer than
    // 2 x kModulus states, so after that many draws it runs round its cycle, whose length
    // then reduces the rest: at most about 1.4 million draws whatever count is.
    void skip(quint64 count);

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

// A safe list index from a stream value: trunc(floor(r * n)), taken as 0 when below
// zero (negative seeds) and as n - 1 when at or above n. n must be > 0.
int randomIndex(double r, int n);
