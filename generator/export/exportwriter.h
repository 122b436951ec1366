#pragma once

#include "exportfile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class ByteSink;

// Encoding and writing of export files.
class ExportWriter
{
public:
    // The image as PNG, encoded in memory by PngStreamWriter (the files'
    // encoding); empty for a null image.
    static QByteArray encodePng(const QImage &image);

    // Writes all bytes to the file through ExportFile: complete or not at all.
    static ExportFile::Error writeFile(const QString &path, const QByteArray &bytes);
    // Writes what `produce` appends to the sink, in chunks as it comes: complete or not at all.
    static ExportFile::Error streamFile(const QString &path, const std::function<void(ByteSink &)> &produce);

    // Writes the image as headerless raw RGB: rows top to bottom, pixels left
    // to right, three bytes red, green, blue each; alpha is dropped. The path
    // is opened as given (any Unicode name), complete or not at all.
    static ExportFile::Error writeBin(const QString &path, const QImage &image);

    // The raw RGB bytes that writeBin writes.
    static QByteArray rgbBytes(const QImage &image);
};
