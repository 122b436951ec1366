#include "pendingfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

PendingFile::PendingFile(const QString &path)
    : m_path(path)
{ }

PendingFile::~PendingFile()
{
    discard();
}

QString PendingFile::create()
{
    discard();
    const QFileInfo target(m_path);
    if (target.fileName().isEmpty())
        return QStringLiteral("no file name");
    if (target.isDir())
        return QStringLiteral("%1 is a folder").arg(m_path);
    // A hidden name beside the target: the rename stays within one file system.
    // O_EXCL and the mode 0666 give a new file the permissions the umask allows,
    // as the final file would have had.
    const QString stem = target.absolutePath() + QLatin1String("/.") + target.fileName() + QLatin1Char('.')
            + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-');
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = stem + QString::number(attempt) + QLatin1String(".part");
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            m_temporary = candidate;
            return {};
        }
        if (errno != EEXIST)
            return QStringLiteral("cannot create a file in %1: %2")
                    .arg(target.absolutePath(), QString::fromLocal8Bit(std::strerror(errno)));
    }
    return QStringLiteral("cannot create a temporary file in %1").arg(target.absolutePath());
}

QString PendingFile::commit()
{
    if (m_temporary.isEmpty())
        return QStringLiteral("no file was written");
    if (std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        discard();
        return QStringLiteral("cannot rename the finished file to %1: %2").arg(m_path, reason);
    }
    m_temporary.clear();
    return {};
}

void PendingFile::discard()
{
    if (!m_temporary.isEmpty())
        QFile::remove(m_temporary);
    m_temporary.clear();
}
