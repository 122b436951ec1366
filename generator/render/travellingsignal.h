#pragma once

#include "lanepath.h"
#include "signalstretch.h"

#include <QPointF>

#include <vector>

class LaneGeometry;

// One lane's signal as it travels along its wire over a loop. The lane is kept whole, with
// the path position of every cell, so that the signal's stretch of cells can be drawn at any
// fractional shift: it moves in the wire's direction at an even speed along the path and
// wraps from the last cell to the first. A shift of zero draws exactly the still's stretch.
class TravellingSignal
{
public:
    // stretch: the still's cells, as the raster renderer draws them.
    TravellingSignal(const LaneGeometry &geometry, int lane, int cellCount, SignalStretch stretch);

    // Cell steps along the lane, the distance of one whole loop.
    int steps() const { return int(m_nodeLength.size()) - 1; }
    // The stretch moved `shift` cell steps along the lane (0 <= shift < steps()).
    LanePath at(double shift) const;

private:
    struct Segment {
        bool curved;
        QPointF start;
        QPointF control; // curved segments only
        QPointF end;
        double length;
    };
    struct Place {
        int segment;
        double t;
    };

    LanePath piece(double from, double to) const;
    Place placeAt(double cellPosition) const;
    QPointF pointAt(const Place &place) const;
    static QPointF pointOn(const Segment &segment, double t);
    static double curveLength(const Segment &segment, double t);
    static double curveParameter(const Segment &segment, double length);
    void appendPart(LanePath &path, const Segment &segment, double t0, double t1) const;

    LanePath m_still;
    int m_start;
    int m_end;
    std::vector<Segment> m_segments;
    std::vector<double> m_segmentStart; // path length where each segment starts
    std::vector<double> m_nodeLength;   // path length at each cell
};
