#pragma once

#include <QByteArray>
#include <QPair>
#include <QSize>
#include <QString>
#include <QVector>

// How one animation file format is written: FFmpeg's muxer and encoder and
// the options that make its files play everywhere, loop where the format can,
// and come out the same to the byte for the same frames.
struct AnimationFormat {
    using Options = QVector<QPair<QByteArray, QByteArray>>;

    // Lower case, without the dot.
    QString suffix;
    QByteArray muxer;
    QByteArray encoder;
    // FFmpeg's name of the pixel format the encoder takes.
    QByteArray pixelFormat;
    Options encoderOptions;
    Options muxerOptions;
    // yuv420p halves the chroma both ways, so the picture is padded to even sizes.
    bool evenSize = false;
    // GIF: frames go through a palette built from the whole loop first.
    bool palette = false;

    // The picture the encoder takes for frames of this size: even sides when evenSize.
    QSize encodedSize(const QSize &frame) const;

    // The format for a file name's suffix (case-insensitive), or null.
    static const AnimationFormat *forPath(const QString &path);
    // Every format, in a fixed order: mp4, webm, webp, gif, png.
    static const QVector<AnimationFormat> &all();
};
