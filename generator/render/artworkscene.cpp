#include "artworkscene.h"

#include "circuit.h"
#include "circuitgenerator.h"
#include "generatorsettings.h"
#include "randomstreams.h"
#include "rendermetrics.h"

namespace {

int dotPoints(const Wire &wire, bool endCellDots)
{
    const int endCells = endCellDots ? (wire.cells.size() >= 2 ? 2 : 1) : 0;
    return endCells + (wire.hasLaneEnds() ? 2 : 0);
}

bool carriesSignal(const Wire &wire)
{
    return !wire.removed && wire.cells.size() >= 2 && wire.signalSize >= 0;
}

} // namespace

ArtworkScene::ArtworkScene(CircuitGenerator &generator)
    : ArtworkScene(*generator.circuit(), generator.settings(), generator.streams().stream(StreamSignal))
{ }

ArtworkScene::ArtworkScene(const Circuit &circuit, const GeneratorSettings &settings, RandomStream &signal)
    : m_circuit(circuit)
    , m_endCellDots(RenderMetrics(settings, 1.0f).dotRadius() > 0)
{
    const auto &wires = circuit.wires();
    m_glow.assign(wires.size(), 0);
    for (size_t i = 0; i < wires.size(); ++i) {
        if (wires[i]->removed)
            continue;
        const int points = dotPoints(*wires[i], m_endCellDots);
        for (int point = 0; point < points; ++point) {
            if (signal.next() < settings.glowingDotsAmount)
                m_glow[i] |= uint8_t(1u << point);
        }
    }
    m_firstSignal.reserve(wires.size() + 1);
    for (const Wire *wire : wires) {
        m_firstSignal.push_back(uint32_t(m_signals.size()));
        if (!carriesSignal(*wire))
            continue;
        for (int lane = 0; lane < wire->density; ++lane)
            m_signals.push_back(SignalStretch::pick(*wire, signal));
    }
    m_firstSignal.push_back(uint32_t(m_signals.size()));
}
