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
        return folder() + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".XXXXXX");
    return folder() + QStringLiteral("/tmp.XXXXXX.ovex") + append;
}

QString TemporaryFiles::folder()
{
    // Qt gives the canonical form of TMPDIR, which is "" when the variable names nothing that
    // exists; the name templates would then put the files into the root folder.
    const QString configured = QDir::tempPath();
    if (!configured.isEmpty() && QFileInfo(configured).isDir())
        return configured;
    return QDir(QStringLiteral("/tmp")).canonicalPath();
}
