#include "lanepath.h"

void LanePath::moveTo(const QPointF &point, bool integral)
{
    m_commands.append({MoveTo, QPointF(), point, integral});
}

void LanePath::lineTo(const QPointF &point, bool integral)
{
    m_commands.append({LineTo, QPointF(), point, integral});
}

void LanePath::quadTo(const QPointF &control, const QPointF &point)
{
    m_commands.append({QuadTo, control, point, false});
}

QPainterPath LanePath::toPainterPath() const
{
    QPainterPath path;
    for (const Command &command : m_commands) {
        switch (command.kind) {
        case MoveTo:
            path.moveTo(command.point);
            break;
        case LineTo:
            path.lineTo(command.point);
            break;
        case QuadTo:
            path.quadTo(command.control, command.point);
            break;
        }
    }
    return path;
}
