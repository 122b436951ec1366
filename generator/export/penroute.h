// PenRoute: the order in which a plotter draws one pen's lines. The pen goes from where it
// is to the nearest end of a line not yet drawn, drawing that line backwards when its far end
// is the nearer, and lines that meet end to start are joined so the pen stays down.
#pragma once

#include "penstrokes.h"

class PenRoute
{
public:
    using Polyline = PenStrokes::Polyline;

    // The lines in drawing order, starting from home; lines whose ends lie within
    // joinDistance of each other are drawn as one.
    static QVector<Polyline> ordered(QVector<Polyline> lines, const QPointF &home, double joinDistance);
    // The distance the pen travels lifted: from home to the first line, then between lines.
    static double travel(const QVector<Polyline> &lines, const QPointF &home);
    // The length drawn.
    static double drawn(const QVector<Polyline> &lines);

private:
    class EndGrid;
};
