#include "runtimedirectory.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t PrivateMode = S_IRWXU;

// A folder of ours at `path`, made private when it is not yet; a link, a file or
// someone else's folder is never touched.
bool claim(const QByteArray &path)
{
    if (mkdir(path.constData(), PrivateMode) != 0 && errno != EEXIST)
        return false;
    struct stat info {
    };
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())
        return false;
    if ((info.st_mode & 07777) != PrivateMode && chmod(path.constData(), PrivateMode) != 0)
        return false;
    return RuntimeDirectory::isUsable(path);
}

} // namespace

bool RuntimeDirectory::isUsable(const QByteArray &path)
{
    struct stat info {
    };
    if (path.isEmpty() || lstat(path.constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 07777) == PrivateMode;
}

QByteArray RuntimeDirectory::ensure()
{
    const QByteArray current = qgetenv("XDG_RUNTIME_DIR");
    if (isUsable(current))
        return current;
    const QByteArray base = QFile::encodeName(QDir::tempPath()) + "/runtime-" + QByteArray::number(geteuid());
    QByteArray folder = base;
    if (!claim(folder)) {
        QByteArray pattern = base + "-XXXXXX";
        if (!mkdtemp(pattern.data()))
            return QByteArray();
        folder = pattern;
    }
    qputenv("XDG_RUNTIME_DIR", folder);
    return folder;
}
