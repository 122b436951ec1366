#include "exportwriter.h"

#include "bytesink.h"
#include "pngstreamwriter.h"

QByteArray ExportWriter::encodePng(const QImage &image)
{
    return PngStreamWriter::encode(image);
}

ExportFile::Error ExportWriter::writeFile(const QString &path, const QByteArray &bytes)
{
    return ExportFile::writeAll(path, bytes);
}

ExportFile::Error ExportWriter::streamFile(const QString &path, const std::function<void(ByteSink &)> &produce)
{
    ExportFile file(path);
    if (!file.open())
        return file.error();
    ByteSink sink(file);
    produce(sink);
    if (sink.flush())
        file.commit();
    else if (file.error() == ExportFile::Error::None)
        return ExportFile::Error::CannotWrite; // the producer failed; the file is discarded
    return file.error();
}

ExportFile::Error ExportWriter::writeBin(const QString &path, const QImage &image)
{
    return ExportFile::writeAll(path, rgbBytes(image));
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
