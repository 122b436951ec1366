#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QVector>

// One lane of a wire (or a stretch of it) as move, line and quadratic-curve
// commands in canvas pixels. The raster renderer strokes it as a QPainterPath
// and the SVG writer prints it as path data, so both draw the same geometry.
class LanePath
{
public:
    enum Kind { MoveTo, LineTo, QuadTo };

    struct Command {
        Kind kind;
        QPointF control; // QuadTo only
        QPointF point;
        // The point is a whole-pixel cell centre or lane end, written as an integer.
        bool integral;
    };

    void moveTo(const QPointF &point, bool integral = false);
    void lineTo(const QPointF &point, bool integral = false);
    void quadTo(const QPointF &control, const QPointF &point);
    // Room for count commands, so that a long lane grows its list once.
    void reserve(int count) { m_commands.reserve(count); }

    const QVector<Command> &commands() const { return m_commands; }
    bool isEmpty() const { return m_commands.isEmpty(); }

    // The commands as a painter path; as in any QPainterPath, of two
    // consecutive moves only the second is kept.
    QPainterPath toPainterPath() const;

private:
    QVector<Command> m_commands;
};
