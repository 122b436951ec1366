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

    // The same box blur without the stretch, into target, which is reused
    // when it already is an RGB32 image of the source's size and otherwise
    // replaced. False for a null or not 32-bit source or radius < 0. The
    // blur runs over strips of stripWidth columns, or of a width chosen from
    // the kernel when 0; every width gives the same pixels.
    static bool boxBlur(const QImage &source, int radius, QImage &target, int stripWidth = 0);
    // The same blur of an image painted over a fill: rows beyond the radius from every
    // painted row take the fill without being blurred (a canvas of sparse signals, or
    // none at all, is mostly such rows). The pixels are boxBlur's.
    static bool boxBlurOverFill(const QImage &source, QRgb fill, int radius, QImage &target);
    // Smallest and largest value over all four channels of the given rows.
    static void valueRange(const QImage &image, int firstRow, int rowCount, double *low, double *high);
    // The smallest value of one byte channel (0 .. 3 in memory order) of a
    // 32-bit image after the box blur, over the given rows; scratch (an 8-bit
    // image of the source's size) holds the blurred channel.
    static double channelBlurMinimum(const QImage &source, int channel, int radius, int firstRow, int rowCount,
                                     QImage &scratch);
    // The min-max stretch of boxBlurNormalized with a range found beforehand
    // (possibly over a larger image), in place.
    static void stretch(QImage &image, double low, double high);
};
