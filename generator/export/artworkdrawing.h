// ArtworkDrawing: the artwork as vector shapes in named layers, for the artwork SVG and
// the vector PDF. The geometry is the plain SVG document's (wires, pads, glowing dots,
// signals) plus the chips; the colours are the artwork's own. Shapes are made one at a
// time as a writer visits a layer, so no drawing is ever held whole.
#pragma once

#include "layerpalette.h"
#include "renderlayer.h"
#include "rendermetrics.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QVector>

#include <functional>

class ArtworkScene;
class LanePath;
struct GeneratorSettings;

class ArtworkDrawing
{
public:
    struct Shape {
        enum Kind { Lane, Disc, RoundedRect };
        Kind kind = Lane;
        const LanePath *lane = nullptr; // Lane: stroked, canvas pixels
        QPointF centre; // Disc
        QRectF rect; // RoundedRect
        double radius = 0; // of the disc, or of the rectangle's corners
        QColor color;
        double strokeWidth = 0; // 0: the shape is filled; a stroked disc is a ring

        // The shape as a painter path (curves as cubics), canvas pixels.
        QPainterPath painterPath() const;
    };

    struct Layer {
        RenderLayer layer; // Composite stands for the background
        QString label; // the name vector editors show
    };

    // Takes each shape of a layer in turn; false stops the visit (a failed write).
    using Visitor = std::function<bool(const Shape &)>;

    // The scene's glowing dots and signals, as the plain SVG document shows them. Both
    // are read while visiting, so they must outlive the drawing. Without the background a
    // pad's hole is left open (the pad a ring, a stroked disc) instead of painted in the
    // background colour, which would print on other paper.
    ArtworkDrawing(const ArtworkScene &scene, const GeneratorSettings &settings, bool background = true);
    ArtworkDrawing(ArtworkScene &&, const GeneratorSettings &, bool = true) = delete;

    int width() const;
    int height() const;
    // In drawing order: background, wires, dots, components, dot signals, signals.
    static const QVector<Layer> &layers();

    // The layer's shapes in drawing order; false when the visitor stopped it.
    bool visit(RenderLayer layer, const Visitor &visitor) const;

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
