// ArtworkDrawing: the artwork as vector shapes in named layers, for the artwork SVG and
// the vector PDF. The geometry is the plain SVG document's (wires, pads, glowing dots,
// signals) plus the chips; the colours are the artwork's own.
#pragma once

#include "layerpalette.h"
#include "renderlayer.h"
#include "rendermetrics.h"
#include "vectordrawing.h"

class ArtworkScene;
struct GeneratorSettings;

class ArtworkDrawing : public VectorDrawing
{
public:
    // The scene's glowing dots and signals, as the plain SVG document shows them. Both
    // are read while visiting, so they must outlive the drawing. Without the background a
    // pad's hole is left open (the pad a ring, a stroked disc) instead of painted in the
    // background colour, which would print on other paper.
    ArtworkDrawing(const ArtworkScene &scene, const GeneratorSettings &settings, bool background = true);
    ArtworkDrawing(ArtworkScene &&, const GeneratorSettings &, bool = true) = delete;

    int width() const override;
    int height() const override;
    // Background (Composite), wires, dots, components, dot signals, signals; each layer's
    // id is its RenderLayer.
    QVector<Layer> layerList() const override;
    bool visit(int layer, const Visitor &visitor) const override;

private:
    bool visitWires(const Visitor &visitor) const;
    // The pads (Dots) or the glowing dots (DotSignals) of every wire.
    bool visitDots(RenderLayer layer, const Visitor &visitor) const;
    bool visitChips(const Visitor &visitor) const;
    bool visitSignals(const Visitor &visitor) const;

    const ArtworkScene &m_scene;
    const GeneratorSettings &m_settings;
    RenderMetrics m_metrics;
    LayerPalette m_palette;
    bool m_background;
};
