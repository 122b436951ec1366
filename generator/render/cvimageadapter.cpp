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

void blurInto(const QImage &source, int radius, cv::Mat &target, int stripWidth)
{
    const int kernel = 2 * radius + 1;
    const cv::Mat whole = matrixView(source);
    target.create(whole.size(), whole.type());
    const int strip = stripWidth > 0 ? stripWidth : stripWidthFor(kernel, whole.cols);
    for (int left = 0; left < whole.cols; left += strip) {
        const cv::Range columns(left, std::min(whole.cols, left + strip));
        cv::Mat out = target.colRange(columns);
        cv::blur(whole.colRange(columns), out, cv::Size(kernel, kernel), cv::Point(-1, -1), cv::BORDER_DEFAULT);
    }
}

} // namespace

QImage CvImageAdapter::boxBlurNormalized(const QImage &image, int radius, bool *hadRange)
{
    if (hadRange)
        *hadRange = false;
    if (!isFourByteImage(image) || radius < 0)
        return QImage();
    auto *blurred = new cv::Mat;
    blurInto(image, radius, *blurred, 0);
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
    if (target.size() != source.size() || target.format() != QImage::Format_RGB32)
        target = QImage(source.size(), QImage::Format_RGB32);
    cv::Mat view = writableView(target);
    blurInto(source, radius, view, stripWidth);
    return view.data == target.constBits();
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
    cv::Mat view = writableView(image);
    view.convertTo(view, -1, scale, shift);
}
