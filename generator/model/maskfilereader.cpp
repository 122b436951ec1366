#include "maskfilereader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

QImage refuse(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return QImage();
}

} // namespace

QImage MaskFileReader::read(const QString &path, QString *error)
{
    const QString name = QStringLiteral("the mask file \"%1\"").arg(path);
    // Tested before opening: opening a FIFO for reading waits for a writer.
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(error, name + QStringLiteral(" does not exist"));
    if (!info.isFile())
        return refuse(error, name + QStringLiteral(" is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(error, name + QStringLiteral(" cannot be opened: ") + file.errorString());
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize declared = reader.size();
    if (!declared.isValid())
        return refuse(error, name + QStringLiteral(" is not an image whose size can be read: ") + reader.errorString());
    if (declared.width() > kMaxSide || declared.height() > kMaxSide
        || qint64(declared.width()) * declared.height() > kMaxPixels)
        return refuse(error,
                      name
                              + QStringLiteral(" declares %1 x %2 pixels, more than the limit of %3 pixels a "
                                               "side and %4 pixels in all")
                                        .arg(declared.width())
                                        .arg(declared.height())
                                        .arg(kMaxSide)
                                        .arg(kMaxPixels));
    const QImage image = reader.read();
    if (image.isNull())
        return refuse(error, name + QStringLiteral(" cannot be decoded: ") + reader.errorString());
    if (error)
        error->clear();
    return image;
}
