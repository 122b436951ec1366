#include "cvimageadapter.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

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

} // namespace

QImage CvImageAdapter::boxBlurNormalized(const QImage &image, int radius, bool *hadRange)
{
    if (hadRange)
        *hadRange = false;
    if (!isFourByteImage(image) || radius < 0)
        return QImage();
    const int kernel = 2 * radius + 1;
    auto *blurred = new cv::Mat;
    cv::blur(matrixView(image), *blurred, cv::Size(kernel, kernel), cv::Point(-1, -1), cv::BORDER_DEFAULT);
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
