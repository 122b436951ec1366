#include "exportscenes.h"

#include "circuitgenerator.h"

ExportScenes::ExportScenes(CircuitGenerator &generator, bool withLayers)
    : m_composite(generator)
{
    if (!withLayers)
        return;
    generator.resetSeed();
    m_layers.emplace(generator);
}

const ArtworkScene &ExportScenes::of(RenderLayer layer) const
{
    return layer == Composite || !m_layers ? m_composite : *m_layers;
}
