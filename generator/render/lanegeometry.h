#pragma once

#include "lanepath.h"

#include <QPoint>
#include <QPointF>
#include <QVector>

class Wire;

// Turns the lanes of one wire into paths. A wire of density 2 is drawn as two
// parallel lanes shifted sideways at interior cells; the lane on the wire's
// lane-end side starts and ends at the lane-end cells instead of the first and
// last cell. With a positive corner radius every interior corner becomes a
// quadratic curve. The raster renderer and the SVG writer both draw these paths.
class LaneGeometry
{
public:
    // c: cell size in pixels; wireThickness and wireRoundness: the settings.
    LaneGeometry(const Wire &wire, double cellSize, float wireThickness, float wireRoundness);

    // The commands of one lane (0 <= lane < density) for the cell indices
    // start .. end; start = end = -1 is the whole wire. A negative start
    // counts from 0; an end outside 0 .. n − 1 means the last cell.
    LanePath lanePath(int lane, int start = -1, int end = -1) const;

    // Sideways shift of cell k of the lane: zero at both ends and for a
    // single-lane wire; otherwise 0.38 half cells (1.2 times that when a
    // neighbouring step is orthogonal) along the bisector of the two steps'
    // left-hand normals.
    QPointF laneOffset(int lane, int k) const;
    // Centre of cell k, or the lane end that replaces the first or last cell
    // on the lane that connects to the lane ends.
    QPoint lanePoint(int lane, int k) const;
    // Corner radius ρ of the rounded lanes (0 or less: straight lanes).
    float cornerRadius() const { return m_cornerRadius; }

    // Unit vector of the lane shift at a cell entered by direction d and left
    // by direction e: the normalised sum of the two left-hand normals when e
    // turns at most 45 degrees from d, (−1, 0) for any other pair. The values
    // are single-precision cosines and sines of multiples of 22.5 degrees.
    static QPointF shiftDirection(int d, int e);

private:
    bool usesLaneEnds(int lane) const;
    QPointF shiftedPoint(int lane, int k) const;
    void straightLane(LanePath &path, int lane, int first, int last) const;
    void roundedLane(LanePath &path, int lane, int first, int last) const;

    QVector<QPoint> m_points;
    QVector<int> m_directions;
    bool m_hasLaneEnds;
    QPoint m_laneEndStart;
    QPoint m_laneEndEnd;
    int m_laneEndLane;
    int m_density;
    float m_cornerRadius;
    float m_halfCell;
};
