// PenStrokes: filled shapes turned into the lines a plotter's pen of one width draws, so
// that the drawn lines cover the shape and nothing outside it. All lengths are canvas
// pixels; `tolerance` is how far a straight segment may stray from a curve.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QVector>

class LanePath;

class PenStrokes
{
public:
    using Polyline = QVector<QPointF>;

    // The lane's centre line, its curves cut into segments, repeated points dropped. Of
    // consecutive moves the last one starts the line, as in a painter path.
    static Polyline centreLine(const LanePath &lane, double tolerance);
    // The line less `start` of its length at its start and `end` at its end; empty when
    // nothing is left.
    static Polyline trimmed(const Polyline &line, double start, double end);
    // A stroke of `width` along the line: one pass when the pen is as wide, else parallel
    // passes at most a pen width apart, walked to and fro as one line; with `outline` only
    // the two outer passes, closed at the ends.
    static Polyline passes(const Polyline &line, double width, double pen, bool outline);
    // The ring between two radii (a disc when inner is 0) as one spiral from inside out,
    // with a full circle at either edge; a pen-wide dot when the disc is no wider than the pen.
    static Polyline spiral(const QPointF &centre, double inner, double outer, double pen, double tolerance);
    // A rounded rectangle's outline inside its edge, then hatched across at pen width, as
    // one line.
    static Polyline hatched(const QRectF &rect, double radius, double pen, double tolerance);

private:
    // Points on a circle of this radius and tolerance.
    static int segmentsOf(double radius, double tolerance);
    static Polyline offset(const Polyline &line, double distance);
    // Where a horizontal line at y crosses the rounded rectangle: its left and right ends.
    static std::pair<double, double> span(const QRectF &rect, double radius, double y);
};
