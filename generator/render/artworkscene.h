// ArtworkScene: every random choice of one artwork, made once, right after generation:
// which dot points of each wire glow and which stretch of each lane its signal covers.
// The raster pass, the SVG documents, the artwork SVG, the PDF and every layer file read
// the scene and draw no random numbers themselves, so the files of one export cannot
// disagree about them.
#pragma once

#include "signalstretch.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Circuit;
class CircuitGenerator;
class RandomStream;
struct GeneratorSettings;

class ArtworkScene
{
public:
    // Draws from signal (stream 5) in the artwork's fixed order: for every wire that is not
    // removed, one draw per dot point (its end cells, when dots have a radius, then its two
    // lane ends); then, for every wire of two or more cells that carries a signal, one
    // draw per lane. The circuit must outlive the scene.
    ArtworkScene(const Circuit &circuit, const GeneratorSettings &settings, RandomStream &signal);
    // The scene of the generator's current circuit, drawn from its streams where the
    // generation left them.
    explicit ArtworkScene(CircuitGenerator &generator);

    const Circuit &circuit() const { return m_circuit; }

    // Whether the end cells of wires are dot points (the dot radius is positive).
    bool endCellDots() const { return m_endCellDots; }
    // Whether the point-th dot point of the wire-th wire glows.
    bool glows(size_t wire, int point) const { return (m_glow[wire] >> point) & 1; }
    // The wire's signal stretches, one per lane; none when it carries no signal.
    int signalCount(size_t wire) const { return int(m_firstSignal[wire + 1] - m_firstSignal[wire]); }
    const SignalStretch &signal(size_t wire, int lane) const { return m_signals[m_firstSignal[wire] + size_t(lane)]; }

private:
    const Circuit &m_circuit;
    bool m_endCellDots;
    std::vector<uint8_t> m_glow; // a bit per dot point, per wire
    std::vector<SignalStretch> m_signals;
    std::vector<uint32_t> m_firstSignal; // per wire, and the end
};
