#include "frameconverter.h"

#include "averror.h"

#include <QImage>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include <cstring>

FrameConverter::FrameConverter(int width, int height, int paddedWidth, int paddedHeight, int pixelFormat)
    : m_width(width)
    , m_height(height)
    , m_paddedWidth(paddedWidth)
    , m_paddedHeight(paddedHeight)
    , m_pixelFormat(pixelFormat)
{ }

FrameConverter::~FrameConverter()
{
    sws_freeContext(m_scaler);
    av_frame_free(&m_output);
    av_frame_free(&m_bgra);
}

namespace {

AVFrame *allocateFrame(int width, int height, int format, int *result)
{
    AVFrame *frame = av_frame_alloc();
    if (!frame) {
        *result = AVERROR(ENOMEM);
        return nullptr;
    }
    frame->width = width;
    frame->height = height;
    frame->format = format;
    *result = av_frame_get_buffer(frame, 0);
    if (*result < 0)
        av_frame_free(&frame);
    return frame;
}

} // namespace

QString FrameConverter::open()
{
    int result = 0;
    // QImage's RGB32 is 0xffRRGGBB in native order: bytes B, G, R, A on the
    // little-endian machines FFmpeg's "bgra" names.
    m_bgra = allocateFrame(m_paddedWidth, m_paddedHeight, AV_PIX_FMT_BGRA, &result);
    if (!m_bgra)
        return QStringLiteral("cannot allocate a frame: %1").arg(avErrorText(result));
    if (m_pixelFormat == AV_PIX_FMT_BGRA)
        return {};
    m_output = allocateFrame(m_paddedWidth, m_paddedHeight, m_pixelFormat, &result);
    if (!m_output)
        return QStringLiteral("cannot allocate a frame: %1").arg(avErrorText(result));
    const AVPixelFormat target = AVPixelFormat(m_pixelFormat);
    m_scaler = sws_getContext(m_paddedWidth, m_paddedHeight, AV_PIX_FMT_BGRA, m_paddedWidth, m_paddedHeight, target,
                              SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT | SWS_FULL_CHR_H_INP, nullptr, nullptr,
                              nullptr);
    if (!m_scaler)
        return QStringLiteral("swscale cannot convert to this pixel format");
    if (target == AV_PIX_FMT_YUV420P) {
        sws_setColorspaceDetails(m_scaler, sws_getCoefficients(SWS_CS_DEFAULT), 1, sws_getCoefficients(SWS_CS_ITU709),
                                 0, 0, 1 << 16, 1 << 16);
    }
    return {};
}

AVFrame *FrameConverter::convert(const QImage &image, qint64 pts)
{
    if (image.width() != m_width || image.height() != m_height) {
        m_error = QStringLiteral("a frame of %1 x %2 where %3 x %4 was expected")
                          .arg(image.width())
                          .arg(image.height())
                          .arg(m_width)
                          .arg(m_height);
        return nullptr;
    }
    // RGB32 forces alpha to 255; premultiplied or straight ARGB32 of an opaque
    // frame has the same bytes already, other formats are converted.
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                    || image.format() == QImage::Format_ARGB32_Premultiplied
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    int result = av_frame_make_writable(m_bgra);
    if (result >= 0 && m_output)
        result = av_frame_make_writable(m_output);
    if (result < 0) {
        m_error = QStringLiteral("cannot allocate a frame: %1").arg(avErrorText(result));
        return nullptr;
    }

    const int rowBytes = m_width * 4;
    for (int y = 0; y < m_paddedHeight; ++y) {
        auto *row = reinterpret_cast<quint32 *>(m_bgra->data[0] + qint64(y) * m_bgra->linesize[0]);
        const auto *source = reinterpret_cast<const quint32 *>(rgb.constScanLine(qMin(y, m_height - 1)));
        std::memcpy(row, source, rowBytes);
        for (int x = m_width; x < m_paddedWidth; ++x)
            row[x] = source[m_width - 1];
        // Opaque whatever the source's alpha byte says.
        for (int x = 0; x < m_paddedWidth; ++x)
            row[x] |= 0xff000000u;
    }
    AVFrame *frame = m_bgra;
    if (m_output) {
        sws_scale(m_scaler, m_bgra->data, m_bgra->linesize, 0, m_paddedHeight, m_output->data, m_output->linesize);
        frame = m_output;
    }
    frame->pts = pts;
    return frame;
}
