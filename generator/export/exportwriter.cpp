#include "exportwriter.h"

#include <QBuffer>
#include <QFile>

QByteArray ExportWriter::encodePng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", -1);
    return bytes;
}

bool ExportWriter::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(bytes);
    return true;
}

bool ExportWriter::writeBin(const QString &path, const QImage &image)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(rgbBytes(image));
    return true;
}

QByteArray ExportWriter::rgbBytes(const QImage &image)
{
    const QImage pixels = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32
            ? image
            : image.convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes(3 * pixels.width() * pixels.height(), Qt::Uninitialized);
    char *out = bytes.data();
    for (int y = 0; y < pixels.height(); ++y) {
        // Whole pixels as QRgb, so the channel order does not depend on the
        // machine's byte order.
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            *out++ = static_cast<char>(qRed(row[x]));
            *out++ = static_cast<char>(qGreen(row[x]));
            *out++ = static_cast<char>(qBlue(row[x]));
        }
    }
    return bytes;
}
