#include "cvimageadapter.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cfloat>

namespace {

bool isFourByteImage(const QImage &image)
{
    return !image.isNull() && image.depth() == 32;
}

// A header over the image's own buffer: no pixel is copied, and the image is
// only read through it.
cv::Mat matrixView(const QImage &image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC4, const_cast<uchar *>(image.constBits()),
                   static_cast<size_t>(image.bytesPerLine()));
}

// A header over the image's buffer for writing into it.
cv::Mat writableView(QImage &image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
}

void releaseMatrix(void *matrix)
{
    delete static_cast<cv::Mat *>(matrix);
}

// Hands the matrix's buffer to the image without a copy; the matrix lives
// until the last copy of the image is gone.
QImage imageOwningMatrix(cv::Mat *matrix)
{
    return QImage(matrix->data, matrix->cols, matrix->rows, static_cast<int>(matrix->step), QImage::Format_RGB32,
                  releaseMatrix, matrix);
}

// cv::blur keeps a kernel's height of rows of integer sums across the width
// it blurs, allocated and cleared on every call: for a poster with a wide
// glow, tens of MB of fresh pages per blur. Strips of columns keep that near
// this size. A strip is a view into the whole image, and OpenCV takes the
// pixels beside a view for its border, so the sums are those of one blur.
constexpr qsizetype kStripSumBytes = 4 * 1024 * 1024;

int stripWidthFor(int kernel, int width)
{
    // Each strip also sums the kernel's columns beyond its edges: at least
    // eight kernels wide, so that this stays small.
    const qsizetype fitting = kStripSumBytes / (qsizetype(kernel) * 4 * qsizetype(sizeof(int)));
    return int(std::min<qsizetype>(width, std::max<qsizetype>(fitting, 8 * qsizetype(kernel))));
}

// Blurs source into target, both of one size: views into larger images take their
// neighbours' pixels for the border, exactly as one blur of the larger image would.
void blurInto(const cv::Mat &source, int radius, cv::Mat &target, int stripWidth)
{
    const int kernel = 2 * radius + 1;
    const int strip = stripWidth > 0 ? stripWidth : stripWidthFor(kernel, source.cols);
    for (int left = 0; left < source.cols; left += strip) {
        const cv::Range columns(left, std::min(source.cols, left + strip));
        cv::Mat out = target.colRange(columns);
        cv::blur(source.colRange(columns), out, cv::Size(kernel, kernel), cv::Point(-1, -1), cv::BORDER_DEFAULT);
    }
}

// Reuses target when it already is an RGB32 image of the source's size.
void keepTargetFor(const QImage &source, QImage &target)
{
    if (target.size() != source.size() || target.format() != QImage::Format_RGB32)
        target = QImage(source.size(), QImage::Format_RGB32);
}

bool rowIsFill(const QImage &image, int y, QRgb fill)
{
    const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    return std::all_of(pixels, pixels + image.width(), [fill](QRgb pixel) { return pixel == fill; });
}

} // namespace

QImage CvImageAdapter::boxBlurNormalized(const QImage &image, int radius, bool *hadRange)
{
    if (hadRange)
        *hadRange = false;
    if (!isFourByteImage(image) || radius < 0)
        return QImage();
    auto *blurred = new cv::Mat;
    const cv::Mat source = matrixView(image);
    blurred->create(source.size(), source.type());
    blurInto(source, radius, *blurred, 0);
    if (hadRange) {
        double low = 0;
        double high = 0;
        // minMaxIdx wants one channel; the reshape is a copy-free view.
        cv::minMaxIdx(blurred->reshape(1), &low, &high);
        *hadRange = high > low;
    }
    cv::normalize(*blurred, *blurred, 0, 255, cv::NORM_MINMAX);
    return imageOwningMatrix(blurred);
}

bool CvImageAdapter::boxBlur(const QImage &source, int radius, QImage &target, int stripWidth)
{
    if (!isFourByteImage(source) || radius < 0)
        return false;
    keepTargetFor(source, target);
    cv::Mat view = writableView(target);
    blurInto(matrixView(source), radius, view, stripWidth);
    return view.data == target.constBits();
}

bool CvImageAdapter::boxBlurOverFill(const QImage &source, QRgb fill, int radius, QImage &target)
{
    if (!isFourByteImage(source) || radius < 0)
        return false;
    keepTargetFor(source, target);
    const int height = source.height();
    int first = 0;
    while (first < height && rowIsFill(source, first, fill))
        ++first;
    int end = height;
    while (end > first && rowIsFill(source, end - 1, fill))
        --end;
    // A blurred row further than the radius from every painted row averages fill alone
    // (reflected rows at the edges lie nearer still).
    const int top = first < end ? std::max(0, first - radius) : height;
    const int bottom = first < end ? std::min(height, end + radius) : height;
    auto fillRows = [&target, fill](int from, int to) {
        for (int y = from; y < to; ++y) {
            auto *pixels = reinterpret_cast<QRgb *>(target.scanLine(y));
            std::fill(pixels, pixels + target.width(), fill);
        }
    };
    fillRows(0, top);
    fillRows(bottom, height);
    if (top < bottom) {
        cv::Mat view = writableView(target).rowRange(top, bottom);
        blurInto(matrixView(source).rowRange(top, bottom), radius, view, 0);
    }
    return true;
}

void CvImageAdapter::valueRange(const QImage &image, int firstRow, int rowCount, double *low, double *high)
{
    const cv::Mat rows = matrixView(image).rowRange(firstRow, firstRow + rowCount);
    cv::minMaxIdx(rows.reshape(1), low, high);
}

double CvImageAdapter::channelBlurMinimum(const QImage &source, int channel, int radius, int firstRow, int rowCount,
                                          QImage &scratch)
{
    cv::Mat plane(scratch.height(), scratch.width(), CV_8UC1, scratch.bits(),
                  static_cast<size_t>(scratch.bytesPerLine()));
    cv::extractChannel(matrixView(source), plane, channel);
    const int kernel = 2 * radius + 1;
    cv::blur(plane, plane, cv::Size(kernel, kernel), cv::Point(-1, -1), cv::BORDER_DEFAULT);
    double low = 0;
    double high = 0;
    cv::minMaxIdx(plane.rowRange(firstRow, firstRow + rowCount), &low, &high);
    return low;
}

void CvImageAdapter::stretch(QImage &image, double low, double high)
{
    // cv::normalize's own NORM_MINMAX scale and shift for the range 0..255,
    // so that a stretch from a range found over bands equals the whole one.
    const double scale = 255.0 * (high - low > DBL_EPSILON ? 1. / (high - low) : 0);
    const double shift = 0.0 - low * scale;
    // The usual range, 0 .. 255 (the opaque alpha is in it), changes no byte.
    if (scale == 1.0 && shift == 0.0)
        return;
    cv::Mat view = writableView(image);
    view.convertTo(view, -1, scale, shift);
}
