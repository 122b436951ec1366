#include "extractiontarget.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file descriptor, closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    { }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() { reset(); }

    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes it now; whether closing succeeded (a delayed write error shows here).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Opens the folder name inside the open folder dir, making it when missing;
// refuses a link or a file there. path is the folder's path, for messages.
QString enterFolder(Descriptor &dir, const QByteArray &name, const QString &path)
{
    struct stat info {
    };
    if (fstatat(dir.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT || (mkdirat(dir.get(), name.constData(), 0755) != 0 && errno != EEXIST))
            return path + QStringLiteral(": ") + systemError();
    } else if (S_ISLNK(info.st_mode)) {
        return path + QStringLiteral(" is a symbolic link");
    } else if (!S_ISDIR(info.st_mode)) {
        return path + QStringLiteral(" is not a folder");
    }
    // O_NOFOLLOW: a link put in the folder's place since the check is refused too.
    const int fd = openat(dir.get(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return path + (errno == ELOOP ? QStringLiteral(" is a symbolic link") : QStringLiteral(": ") + systemError());
    dir.reset(fd);
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

// Creates a new file of a free temporary name in the open folder dir; the
// name goes to name.
int createTemporary(int dir, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = ".tressil-package-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = openat(dir, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
    // Every step is taken from the folder opened before it, so no link put on
    // the way while the folders are checked can lead elsewhere.
    Descriptor dir(::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return m_folder + QStringLiteral(": ") + systemError();
    QString path = m_folder;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        path += QLatin1Char('/') + parts.at(i);
        const QString folderProblem = enterFolder(dir, QFile::encodeName(parts.at(i)), path);
        if (!folderProblem.isEmpty())
            return folderProblem;
    }
    path += QLatin1Char('/') + parts.last();
    const QByteArray leaf = QFile::encodeName(parts.last());
    struct stat existing {
    };
    const bool exists = fstatat(dir.get(), leaf.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return path + QStringLiteral(": ") + systemError();
    if (exists && S_ISLNK(existing.st_mode))
        return path + QStringLiteral(" is a symbolic link");
    if (exists && !S_ISREG(existing.st_mode))
        return path + QStringLiteral(" is not a regular file");

    // Written under a temporary name beside it and renamed over it only once
    // complete: a failed write (a full disk) leaves the old file as it was,
    // and a hard link in the file's place is replaced, never written through.
    QByteArray temporaryName;
    Descriptor file(createTemporary(dir.get(), temporaryName));
    if (file.get() < 0)
        return path + QStringLiteral(": cannot create a temporary file beside it: ") + systemError();
    const auto failed = [&path] {
        return path + QStringLiteral(": ") + systemError();
    };
    QString failure;
    // An existing file keeps its permissions, as it did when written in place.
    if (exists && fchmod(file.get(), existing.st_mode & 0777) != 0)
        failure = failed();
    else if (!writeAll(file.get(), body) || fsync(file.get()) != 0)
        failure = failed();
    if (!file.close() && failure.isEmpty())
        failure = failed();
    if (failure.isEmpty() && renameat(dir.get(), temporaryName.constData(), dir.get(), leaf.constData()) != 0)
        failure = failed();
    if (!failure.isEmpty())
        unlinkat(dir.get(), temporaryName.constData(), 0);
    return failure;
}
