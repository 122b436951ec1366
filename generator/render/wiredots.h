#pragma once

#include "renderlayer.h"

#include <QPoint>
#include <QVector>

#include <cstddef>

class ArtworkScene;
class Wire;
class RenderMetrics;

// The pads and glowing dots at the end points of one wire, as the scene chose
// them, for the raster renderer and the SVG documents alike.
class WireDots
{
public:
    struct Dot {
        QPoint centre;
        bool pad; // draw a pad (disc, hole, inner disc) here
        bool glow; // draw a glowing dot here
    };

    // The dot points of the index-th wire of the scene's circuit: its end cells
    // (first and last, or the only one) when the scene gives them dots, then
    // both lane ends. Pads belong to the Composite and Dots layers and need
    // hole radius < dot radius; glowing dots belong to the Composite and
    // DotSignals layers and need the scene's glow choice; both need a
    // positive dot radius.
    static QVector<Dot> of(const ArtworkScene &scene, size_t index, const RenderMetrics &metrics, RenderLayer layer);

    // The end cells and lane ends.
    static QVector<QPoint> endPoints(const Wire &wire, const RenderMetrics &metrics);
};
