#pragma once

#include <QString>

/// Free and total space of the volume behind a drive text as script gives it. A bare
/// drive letter, a letter with a colon, or a letter, colon and path stand for the root
/// volume; any other text is a path whose volume is asked. Failures give -1.
class DiskSpace
{
public:
    static qint64 freeBytes(const QString &disk);
    static qint64 totalBytes(const QString &disk);

private:
    static QString volumePath(const QString &disk);
};
