#include "regularfile.h"

#include <QFile>
#include <QHash>
#include <QPair>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileId FileId::of(const struct stat &info)
{
    return {quint64(info.st_dev), quint64(info.st_ino)};
}

uint qHash(const FileId &id, uint seed)
{
    return ::qHash(qMakePair(id.device, id.inode), seed);
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString RegularFile::systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString RegularFile::open(const QString &path, const FileId *expected)
{
    // The type is checked before opening, so a pipe or device is never opened; O_NONBLOCK
    // keeps the open from waiting should a pipe take the file's place in between, and the
    // opened file is checked again.
    const QByteArray native = QFile::encodeName(path);
    struct stat before {
    };
    if (::stat(native.constData(), &before) != 0)
        return systemError(errno);
    if (!S_ISREG(before.st_mode))
        return QStringLiteral("not a regular file");
    m_fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        return systemError(errno);
    struct stat opened {
    };
    if (::fstat(m_fd, &opened) != 0)
        return systemError(errno);
    if (!S_ISREG(opened.st_mode) || !(FileId::of(opened) == FileId::of(before))
        || (expected && !(FileId::of(opened) == *expected)))
        return QStringLiteral("replaced while it was opened");
    m_size = opened.st_size;
    return QString();
}

bool RegularFile::read(char *data, qint64 size, qint64 offset) const
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

std::optional<QByteArray> RegularFile::readAll() const
{
    QByteArray bytes(int(m_size), Qt::Uninitialized);
    if (!read(bytes.data(), m_size, 0))
        return std::nullopt;
    // One byte more would mean the file grew; it is read as it was opened.
    return bytes;
}
