#pragma once

#include "renderlayer.h"

#include <QPoint>
#include <QVector>

class Wire;
class RenderMetrics;

// The pads and glowing dots at the end points of one wire, with the random
// draws that decide the glow. The raster renderer and the SVG writer both use
// it, so both consume random stream 5 in the same order for every layer.
class WireDots
{
public:
    struct Dot {
        QPoint centre;
        bool pad; // draw a pad (disc, hole, inner disc) here
        bool glow; // draw a glowing dot here
    };

    // The end cells (first and last, or the only one), only when the dot
    // radius is positive, each with one draw of stream 5; then both lane ends,
    // each with one draw whatever the radius. Pads belong to the Composite and
    // Dots layers and need hole radius < dot radius; glowing dots belong to
    // the Composite and DotSignals layers and need a draw below the glowing
    // dots amount.
    static QVector<Dot> choose(const Wire &wire, const RenderMetrics &metrics, RenderLayer layer,
                               float glowingDotsAmount);

    // The same points without draws: end cells, then lane ends.
    static QVector<QPoint> endPoints(const Wire &wire, const RenderMetrics &metrics);
};
