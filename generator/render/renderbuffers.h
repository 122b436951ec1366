#pragma once

#include <QImage>

// The intermediate images of one render pass, kept between bands and
// renders so that a render does not allocate (and fault in) fresh full-size
// images for every effect. One set per thread.
struct RenderBuffers {
    QImage shadow;
    QImage signal;
    QImage glow;
    QImage vignette;
    QImage blurred;

    // Makes image a size × format image, reusing its buffer when it fits.
    static void ensure(QImage &image, const QSize &size, QImage::Format format)
    {
        if (image.size() != size || image.format() != format || image.isDetached() == false)
            image = QImage(size, format);
    }
};
