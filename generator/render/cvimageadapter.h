#pragma once

#include <QImage>

// The one place that talks to OpenCV: views a QImage as a matrix and turns
// a matrix back into a QImage. Nothing else in the project includes opencv2/.
class CvImageAdapter
{
public:
    // Box-blurs a 32-bit image with a (2 × radius + 1)² kernel (reflect-101
    // borders), then stretches the result min-max to 0..255 over all four
    // channels together. The source pixels are read in place, not copied.
    // Returns an RGB32 image that owns the blurred pixels; a null image when
    // the source is null or not 32 bits per pixel, or when radius < 0.
    // When hadRange is given, it tells whether the blurred values spanned any
    // range before the stretch (without one the stretch yields all zeros).
    static QImage boxBlurNormalized(const QImage &image, int radius, bool *hadRange = nullptr);
};
