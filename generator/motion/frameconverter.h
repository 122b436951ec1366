#pragma once

#include <QString>

class QImage;
struct AVFrame;
struct SwsContext;

// Turns opaque QImages of one size into frames of an encoder's pixel format
// (FFmpeg's AVPixelFormat), padded to a larger picture by repeating the last
// column and row, so that no artwork is lost to even sizes. The conversion to
// YUV uses BT.709 with limited range, as players expect of HD video, and
// swscale's bit-exact paths, so the frames do not depend on the CPU.
class FrameConverter
{
public:
    FrameConverter(int width, int height, int paddedWidth, int paddedHeight, int pixelFormat);
    ~FrameConverter();

    FrameConverter(const FrameConverter &) = delete;
    FrameConverter &operator=(const FrameConverter &) = delete;

    // Allocates the frames; an empty result or the reason it failed.
    QString open();
    // The image as a frame with the given presentation time, or null with
    // error() set. The frame belongs to the converter and stays valid until
    // the next call; encoders that keep a reference get a copy on the next
    // call instead of a changed picture.
    AVFrame *convert(const QImage &image, qint64 pts);

    const QString &error() const { return m_error; }

private:
    int m_width;
    int m_height;
    int m_paddedWidth;
    int m_paddedHeight;
    int m_pixelFormat;
    AVFrame *m_bgra = nullptr;
    AVFrame *m_output = nullptr;
    SwsContext *m_scaler = nullptr;
    QString m_error;
};
