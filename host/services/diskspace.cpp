#include "diskspace.h"

#include <QStorageInfo>

QString DiskSpace::volumePath(const QString &disk)
{
    if (disk.isEmpty() || disk.at(0).isNull())
        return QString();
    const bool driveLetter = disk.at(0).isLetter() && (disk.size() == 1 || disk.at(1) == QLatin1Char(':'));
    return driveLetter ? QStringLiteral("/") : disk;
}

qint64 DiskSpace::freeBytes(const QString &disk)
{
    const QString path = volumePath(disk);
    if (path.isEmpty())
        return -1;
    const QStorageInfo volume(path);
    return volume.isValid() && volume.isReady() ? volume.bytesAvailable() : -1;
}

qint64 DiskSpace::totalBytes(const QString &disk)
{
    const QString path = volumePath(disk);
    if (path.isEmpty())
        return -1;
    const QStorageInfo volume(path);
    return volume.isValid() && volume.isReady() ? volume.bytesTotal() : -1;
}
