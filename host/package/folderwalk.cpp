#include "folderwalk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool lessIgnoringCase(const QFileInfo &a, const QFileInfo &b)
{
    const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
    // Names equal but for case get a fixed order instead of the sort's whim.
    return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
}

// Every visible entry of a folder: folders, files, links (broken ones too)
// and special files, which are reported rather than passed over in silence.
QFileInfoList sortedListing(const QString &dirPath)
{
    QFileInfoList listing = QDir(dirPath).entryInfoList(QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot,
                                                        QDir::Unsorted);
    std::sort(listing.begin(), listing.end(), lessIgnoringCase);
    return listing;
}

// A file name as readable text, with every byte outside printable ASCII (and
// the backslash) as \xHH.
QString escapedName(const QByteArray &raw)
{
    QString text;
    for (const char c : raw) {
        const auto byte = uchar(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    return text;
}

// The visible names in a folder that are not valid in the file-name encoding
// (UTF-8). QDir leaves such entries out without a word, so the folder is read
// once more at the level of bytes to find them.
QStringList undecodableNames(const QString &dirPath)
{
    QStringList names;
    DIR *dir = opendir(QFile::encodeName(dirPath).constData());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (!raw.startsWith('.') && QFile::encodeName(QFile::decodeName(raw)) != raw)
            names.append(escapedName(raw));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QString folderName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("/") : name;
}

} // namespace

FolderWalk::FolderWalk(const QString &dirPath)
    : m_root(QFileInfo(dirPath).canonicalFilePath())
{
    if (m_root.isEmpty())
        return;
    collectRealFolders(m_root, QString());
    struct stat info {
    };
    if (::stat(QFile::encodeName(m_root).constData(), &info) == 0)
        m_walked.insert(FileId::of(info), QString());
    collectNames(m_root, QString());
}

bool FolderWalk::inside(const QString &realPath) const
{
    return realPath == m_root || realPath.startsWith(m_root == QLatin1String("/") ? m_root : m_root + QLatin1Char('/'));
}

// The real folders below the root (the root included), reached through no symbolic link
// and no hidden name, with the names a package gives them.
void FolderWalk::collectRealFolders(const QString &realPath, const QString &name)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(realPath).constData(), &info) != 0 || m_realFolders.contains(FileId::of(info)))
        return;
    m_realFolders.insert(FileId::of(info), name);
    for (const QFileInfo &entry : QDir(realPath).entryInfoList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot))
        collectRealFolders(realPath + QLatin1Char('/') + entry.fileName(), name + QLatin1Char('/') + entry.fileName());
}

// realPath is the folder's path without symbolic links, name its name in the package ("" for
// the root); every folder is walked at its place in the sorted order.
void FolderWalk::collectNames(const QString &realPath, const QString &name)
{
    for (const QString &undecodable : undecodableNames(realPath))
        m_skipped.append(name + QLatin1Char('/') + undecodable);
    for (const QFileInfo &info : sortedListing(realPath)) {
        const QString entryName = name + QLatin1Char('/') + info.fileName();
        QString entryPath = realPath + QLatin1Char('/') + info.fileName();
        const auto leaveOut = [this, &entryName](const QString &reason) {
            m_leftOut.append({entryName, reason});
        };
        struct stat entry {
        };
        if (::lstat(QFile::encodeName(entryPath).constData(), &entry) != 0) {
            leaveOut(RegularFile::systemError(errno));
            continue;
        }
        const bool link = S_ISLNK(entry.st_mode);
        if (link) {
            const QString target = QFileInfo(entryPath).canonicalFilePath();
            if (target.isEmpty()) {
                leaveOut(QStringLiteral("a symbolic link that leads nowhere"));
                continue;
            }
            if (!inside(target)) {
                leaveOut(QStringLiteral("a symbolic link to %1, outside the folder").arg(target));
                continue;
            }
            entryPath = target;
        }
        struct stat found {
        };
        if (::stat(QFile::encodeName(entryPath).constData(), &found) != 0) {
            leaveOut(RegularFile::systemError(errno));
            continue;
        }
        const FileId id = FileId::of(found);
        if (S_ISDIR(found.st_mode)) {
            // A link to a real folder leaves it to its own name; a folder met
            // again (a link back up, a second link) is not walked again.
            const QString packedAs = link ? m_realFolders.value(id, m_walked.value(id)) : m_walked.value(id);
            const bool known
                    = link ? m_realFolders.contains(id) || m_walked.contains(id) : m_walked.contains(id);
            if (known) {
                leaveOut(QStringLiteral("a second name of the folder packed as %1").arg(folderName(packedAs)));
                continue;
            }
            m_walked.insert(id, entryName);
            collectNames(entryPath, entryName);
        } else if (S_ISREG(found.st_mode)) {
            m_files.append({entryName, entryPath, id, qint64(found.st_size)});
        } else {
            leaveOut(QStringLiteral("not a regular file or folder"));
        }
    }
}
