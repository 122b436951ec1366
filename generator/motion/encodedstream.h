#pragma once

#include "animationformat.h"

#include <QString>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

// One video stream encoded and muxed into a file by FFmpeg. Frame k has the
// presentation time k in units of 1/fps and lasts one unit, and the stream
// records the rate, so every container keeps the loop's exact timing (GIF in
// hundredths of a second, WebP in milliseconds, as close as they can).
// Bit-exact flags keep version strings, creation times and random identifiers
// out of the file: the same frames give the same bytes.
class EncodedStream
{
public:
    EncodedStream();
    // Closes the file without a trailer if finish() was not reached.
    ~EncodedStream();

    EncodedStream(const EncodedStream &) = delete;
    EncodedStream &operator=(const EncodedStream &) = delete;

    // Opens the encoder and the muxer and writes the header to file (which
    // exists and is overwritten). An empty result or the reason it failed.
    QString open(const QString &file, const AnimationFormat &format, int width, int height, int fps);
    // Encodes a frame (its pts set) and writes whatever packets are ready.
    QString write(const AVFrame *frame);
    // Drains the encoder, writes the trailer and closes the file.
    QString finish();

private:
    QString drain();
    void close();

    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVStream *m_stream = nullptr;
    AVPacket *m_packet = nullptr;
    bool m_headerWritten = false;
};
