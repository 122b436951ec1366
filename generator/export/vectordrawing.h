// VectorDrawing: a picture as vector shapes in named layers, made one shape at a time as a
// writer visits a layer, so that no drawing is ever held whole by the writers. The artwork
// drawing and the plotter drawing are the two kinds; the SVG and PDF writers take either.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QVector>

#include <functional>

class LanePath;

class VectorDrawing
{
public:
    struct Shape {
        enum Kind { Lane, Disc, RoundedRect, Polyline };
        Kind kind = Lane;
        const LanePath *lane = nullptr; // Lane: stroked, canvas pixels
        const QVector<QPointF> *points = nullptr; // Polyline: stroked, canvas pixels
        QPointF centre; // Disc
        QRectF rect; // RoundedRect
        double radius = 0; // of the disc, or of the rectangle's corners
        QColor color;
        double strokeWidth = 0; // 0: the shape is filled; a stroked disc is a ring
        // Drawn by a round pen: round ends and joins instead of a cut stroke's.
        bool pen = false;

        // The shape as a painter path (curves as cubics), canvas pixels.
        QPainterPath painterPath() const;
    };

    struct Layer {
        int id = 0;
        QString label; // the name vector editors and plotter software show
        // The background, which may be left out of a print.
        bool background = false;
    };

    // Takes each shape of a layer in turn; false stops the visit (a failed write).
    using Visitor = std::function<bool(const Shape &)>;

    virtual ~VectorDrawing() = default;

    // The canvas, in pixels.
    virtual int width() const = 0;
    virtual int height() const = 0;
    // In drawing order.
    virtual QVector<Layer> layerList() const = 0;
    // The layer's shapes in drawing order; false when the visitor stopped it.
    virtual bool visit(int layer, const Visitor &visitor) const = 0;
};
