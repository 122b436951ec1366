#pragma once

#include "lanepath.h"
#include "renderlayer.h"
#include "travellingsignal.h"
#include "wiredots.h"

#include <QPainterPath>
#include <QRectF>
#include <QVector>

#include <functional>
#include <vector>

class ArtworkScene;
class LaneGeometry;
class RenderMetrics;
class Wire;
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

    // Moves every signal along its wire to frame k of an n-frame loop: k/n of the lane's
    // steps on, wrapping from the last cell to the first. Frame 0 is the still's plan, and
    // frame k of n and frame 2k of 2n are the same.
    void moveSignals(const ArtworkScene &scene, const GeneratorSettings &settings, const RenderMetrics &metrics,
                     int frame, int frameCount);

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
    using SignalLaneUse
            = std::function<void(const LaneGeometry &geometry, const Wire &wire, int lane, SignalStretch stretch, double width)>;
    static void forEachSignalLane(const ArtworkScene &scene, const GeneratorSettings &settings,
                                  const RenderMetrics &metrics, const SignalLaneUse &use);

    QVector<WireItem> m_wires;
    QVector<Stroke> m_signals;
    std::vector<TravellingSignal> m_travelling; // per signal stroke, made for the first move
};
