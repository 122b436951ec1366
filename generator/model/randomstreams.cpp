#include "randomstreams.h"

void RandomStreams::reseed(qint32 seed)
{
    for (int i = 0; i < 5; ++i) {
        // 32-bit wrap-around without signed overflow: add as unsigned, convert back.
        const quint32 sum = quint32(seed) + quint32(kOffsets[i]);
        m_streams[size_t(i)].reseed(qint64(qint32(sum)));
    }
}

RandomStreams::States RandomStreams::states() const
{
    States s;
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = m_streams[i].state();
    return s;
}

void RandomStreams::setStates(const States &states)
{
    for (size_t i = 0; i < states.size(); ++i)
        m_streams[i].reseed(states[i]);
}
