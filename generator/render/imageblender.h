#pragma once

#include <QImage>
#include <QPainter>

// Composes one opaque image onto another, pixel for pixel exactly as QPainter
// does in the separable blend modes the renderer uses, through tables of
// QPainter's own results: with both images opaque, each colour channel of the
// result depends only on that channel's destination and source values.
class ImageBlender
{
public:
    // Whether compose() handles the mode.
    static bool handles(QPainter::CompositionMode mode);

    // Composes source (RGB32 or opaque ARGB32) onto the opaque ARGB32
    // destination of the same size in mode; false, touching nothing, for a
    // mode it does not handle or images that do not fit.
    static bool compose(QImage &destination, const QImage &source, QPainter::CompositionMode mode);
};
