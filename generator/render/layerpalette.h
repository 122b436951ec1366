#pragma once

#include "renderlayer.h"

#include <QColor>

struct GeneratorSettings;

// The four drawing colours of one layer: the setting colours for the
// composite, white shapes on black for every mask layer.
class LayerPalette
{
public:
    LayerPalette(const GeneratorSettings &settings, RenderLayer layer);

    // An opaque colour from a red, green, blue triple; each component is
    // clamped to 0..255 so that an out-of-range setting cannot make an
    // invalid colour.
    static QColor opaqueColor(int red, int green, int blue);

    QColor background() const { return m_background; }
    QColor wire() const { return m_wire; }
    QColor hole() const { return m_hole; }
    QColor signal() const { return m_signal; }

private:
    QColor m_background;
    QColor m_wire;
    QColor m_hole;
    QColor m_signal;
};
