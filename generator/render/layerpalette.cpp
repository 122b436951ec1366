#include "layerpalette.h"

#include "generatorsettings.h"

#include <algorithm>

namespace {

QColor settingColor(const RgbColor &color)
{
    return LayerPalette::opaqueColor(color.r, color.g, color.b);
}

} // namespace

LayerPalette::LayerPalette(const GeneratorSettings &settings, RenderLayer layer)
{
    if (layer == Composite) {
        m_background = settingColor(settings.bgColor);
        m_wire = settingColor(settings.wireColor);
        m_hole = settingColor(settings.insideHoleColor);
        m_signal = settingColor(settings.signalColor);
        return;
    }
    m_background = QColor(0, 0, 0);
    m_wire = m_hole = m_signal = QColor(255, 255, 255);
}

QColor LayerPalette::opaqueColor(int red, int green, int blue)
{
    return QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
}
