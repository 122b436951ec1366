#pragma once

class RandomStream;
class Wire;

// The stretch of cell indices that a wire's travelling signal covers on one
// lane, picked with one draw of stream 5 (by ArtworkScene): the cell where the running
// sum of the cells' signal weights passes a random fraction of their total,
// widened to trunc(signalSize × 10) cells around it.
class SignalStretch
{
public:
    // Picks the stretch for the next lane (one draw).
    static SignalStretch pick(const Wire &wire, RandomStream &signal);

    int start() const { return m_start; }
    int end() const { return m_end; }

    // The raster renderer draws an empty stretch (start = end) as cells 0 to 1.
    SignalStretch forRaster() const;
    // The SVG writer writes only stretches that span at least two steps.
    bool isWrittenToSvg() const { return m_start != m_end && m_start + 1 < m_end; }

private:
    SignalStretch(int start, int end)
        : m_start(start)
        , m_end(end)
    { }

    int m_start;
    int m_end;
};
