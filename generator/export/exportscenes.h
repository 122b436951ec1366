// ExportScenes: the random choices behind the files of one plain SVG, PNG or BIN export.
// The composite shows the choices drawn where generation left the streams. The layer files
// of these exports have always drawn theirs from freshly reseeded streams, so that they
// agree with each other; they keep doing so, from one scene made once for all of them.
#pragma once

#include "artworkscene.h"
#include "renderlayer.h"

#include <optional>

class CircuitGenerator;

class ExportScenes
{
public:
    // Right after generation; withLayers also makes the layer files' scene (reseeding).
    ExportScenes(CircuitGenerator &generator, bool withLayers);

    // The scene a file of this layer shows.
    const ArtworkScene &of(RenderLayer layer) const;

private:
    ArtworkScene m_composite;
    std::optional<ArtworkScene> m_layers;
};
