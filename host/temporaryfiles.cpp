#include "temporaryfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

TemporaryFiles::~TemporaryFiles()
{
    qDeleteAll(files);
}

QString TemporaryFiles::create(const QString &append)
{
    auto *file = new QTemporaryFile(nameTemplate(append));
    if (!file->open()) {
        delete file;
        return QString();
    }
    files << file;
    return QFileInfo(file->fileName()).absoluteFilePath();
}

QString TemporaryFiles::nameTemplate(const QString &append)
{
    if (append.isEmpty())
        return QDir::tempPath() + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".XXXXXX");
    return QDir::tempPath() + QStringLiteral("/tmp.XXXXXX.ovex") + append;
}
