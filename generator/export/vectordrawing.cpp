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
    case Polyline:
        path.moveTo(points->first());
        for (int i = 1; i < points->size(); ++i)
            path.lineTo(points->at(i));
        break;
    }
    return path;
}
