#include "extractiontarget.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A folder on the way to an entry: made when missing, refused when it is a link or a file.
QString enterFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {
    };
    if (lstat(native.constData(), &info) != 0)
        return mkdir(native.constData(), 0755) == 0 ? QString() : path + QStringLiteral(": ") + systemError();
    if (S_ISLNK(info.st_mode))
        return path + QStringLiteral(" is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return path + QStringLiteral(" is not a folder");
    return QString();
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

ExtractionTarget::ExtractionTarget(const QString &folder)
    : m_folder(QDir::cleanPath(folder))
{ }

QString ExtractionTarget::prepare() const
{
    if (QFileInfo(m_folder).isDir())
        return QString();
    return QDir().mkpath(m_folder) ? QString() : m_folder + QStringLiteral(": cannot create the folder");
}

QString ExtractionTarget::nameProblem(const QString &name)
{
    if (!name.startsWith(QLatin1Char('/')))
        return QStringLiteral("it does not start with '/'");
    if (name.contains(QChar(0)))
        return QStringLiteral("it holds a NUL character");
    if (name.contains(QLatin1Char('\\')))
        return QStringLiteral("it holds a backslash");
    for (const QString &part : name.mid(1).split(QLatin1Char('/'))) {
        if (part.isEmpty())
            return QStringLiteral("it has an empty part");
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return QStringLiteral("it has a '%1' part").arg(part);
    }
    return QString();
}

QString ExtractionTarget::write(const QString &name, const QByteArray &body) const
{
    const QString problem = nameProblem(name);
    if (!problem.isEmpty())
        return problem;
    const QStringList parts = name.mid(1).split(QLatin1Char('/'));
    QString path = m_folder;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        path += QLatin1Char('/') + parts.at(i);
        const QString folderProblem = enterFolder(path);
        if (!folderProblem.isEmpty())
            return folderProblem;
    }
    path += QLatin1Char('/') + parts.last();
    // O_NOFOLLOW: a link in the file's place is refused rather than written through;
    // O_NONBLOCK: a pipe there fails at once instead of waiting for a reader.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                          0644);
    if (fd < 0)
        return path + QStringLiteral(": ") + systemError();
    struct stat info {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ftruncate(fd, 0) != 0) {
        ::close(fd);
        return path + QStringLiteral(" is not a regular file");
    }
    const bool written = writeAll(fd, body);
    const QString writeProblem = written ? QString() : path + QStringLiteral(": ") + systemError();
    if (::close(fd) != 0 && written)
        return path + QStringLiteral(": ") + systemError();
    return writeProblem;
}
