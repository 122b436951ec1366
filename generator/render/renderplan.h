#pragma once

#include "lanepath.h"
#include "renderlayer.h"
#include "wiredots.h"

#include <QPainterPath>
#include <QRectF>
#include <QVector>

class ArtworkScene;
class RenderMetrics;
struct GeneratorSettings;

// Everything one render draws, decided before any pixel is painted: the lane
// paths of every wire, its pads and glowing dots and the signal stretches, at
// the render's scale, with the scene's random choices. The pixels therefore
// cannot depend on how the canvas is later cut into bands or shared among
// threads.
class RenderPlan
{
public:
    // The geometry is kept as lane commands and made a QPainterPath only for
    // each draw: a drawn QPainterPath keeps a converted copy of itself, built
    // without a lock in data its copies share, so one kept for the whole
    // render would cost memory for every wire of a large circuit and could
    // not be drawn by two threads at once.
    struct Stroke {
        LanePath geometry;
        double penWidth;
        // Canvas rows and columns the stroke can touch, antialiasing included.
        double top;
        double bottom;
        double left;
        double right;
    };

    struct WireItem {
        // The lanes, drawn on the canvas when mainStroke and into the shadow
        // when shadowStroke; empty when neither.
        QVector<Stroke> lanes;
        bool mainStroke;
        bool shadowStroke;
        QVector<WireDots::Dot> dots;
        // End points that get a shadow disc.
        QVector<QPoint> shadowDots;
    };

    RenderPlan(const ArtworkScene &scene, const GeneratorSettings &settings, const RenderMetrics &metrics,
               RenderLayer layer);

    const QVector<WireItem> &wires() const { return m_wires; }
    const QVector<Stroke> &signalStrokes() const { return m_signals; }

    // Whether rows top .. bottom (canvas pixels, bottom exclusive) can be
    // touched by the stroke, or by a disc of radius k at centre.
    static bool touches(const Stroke &stroke, int top, int bottom);
    static bool discTouches(const QPoint &centre, int k, int top, int bottom);

    // Whether some side × side square of the width × height canvas is
    // touched by no signal stroke (ofSignals) or by no glowing dot of radius
    // k (glow dots): a blur of that size then has a black pixel. False when
    // none is found, which proves nothing.
    bool hasEmptySquare(bool ofSignals, int k, int side, int width, int height) const;

private:
    QVector<WireItem> m_wires;
    QVector<Stroke> m_signals;
};
