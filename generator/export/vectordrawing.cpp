#include "vectordrawing.h"

#include "lanepath.h"

QPainterPath VectorDrawing::Shape::painterPath() const
{
    QPainterPath path;
    switch (kind) {
    case Lane:
        return lane->toPainterPath();
    case Disc:
        path.addEllipse(centre, radius, radius);
        break;
    case RoundedRect:
        path.addRoundedRect(rect, radius, radius);
        break;
    }
    return path;
}
