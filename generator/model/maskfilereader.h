// MaskFileReader: reads the image file of a file mask without trusting it.
#pragma once

#include <QImage>
#include <QString>

// Reads only regular files (a FIFO or a device would block or never end) and checks the
// size the file declares before decoding, so that a small file cannot claim gigabytes.
class MaskFileReader
{
public:
    // The largest mask image decoded: as the renderer's canvas limits, 16384 pixels a side
    // and 40,000,000 pixels in all (160 MB as 32-bit pixels while it is scaled down).
    static constexpr int kMaxSide = 16384;
    static constexpr qint64 kMaxPixels = 40000000;

    // The decoded image, or a null image and in `error` a one-line reason that names the file.
    static QImage read(const QString &path, QString *error);
};
