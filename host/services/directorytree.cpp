#include "directorytree.h"

#include <QDir>
#include <QFile>

QFileInfoList DirectoryTree::listing(const QString &path)
{
    return QDir(path).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

QVariantMap DirectoryTree::content(const QString &path)
{
    QStringList files;
    QStringList dirs;
    const QFileInfoList entries = listing(path);
    for (const QFileInfo &entry : entries)
        (entry.isDir() ? dirs : files) << entry.fileName();
    return QVariantMap {{QStringLiteral("files"), files}, {QStringLiteral("dirs"), dirs}};
}

bool DirectoryTree::remove(const QString &path)
{
    // The walk would empty the working directory before failing on its last name.
    if (namesCurrentDirectory(path))
        return false;
    return removeTree(path);
}

bool DirectoryTree::copy(const QString &src, const QString &dst)
{
    // Removing dst first would destroy a source inside it; copying into the source
    // would list the fresh copy and nest without end.
    if (namesCurrentDirectory(dst) || treesOverlap(src, dst))
        return false;
    return copyTree(src, dst);
}

bool DirectoryTree::namesCurrentDirectory(const QString &path)
{
    return path.isEmpty() || QDir::cleanPath(path) == QLatin1String(".");
}

bool DirectoryTree::treesOverlap(const QString &a, const QString &b)
{
    const QString first = resolvedPath(a);
    const QString second = resolvedPath(b);
    return first == second || first.startsWith(second + QLatin1Char('/'))
            || second.startsWith(first + QLatin1Char('/'));
}

QString DirectoryTree::resolvedPath(const QString &path)
{
    // A missing path is resolved through its nearest existing ancestor, so a link on
    // the way cannot hide that a new destination lies inside the source.
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    const int slash = absolute.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return absolute;
    return resolvedPath(absolute.left(slash)) + absolute.mid(slash);
}

bool DirectoryTree::splitLastName(const QString &path, QString *parent, QString *name)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    *name = path.mid(slash + 1);
    *parent = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
    return !name->isEmpty();
}

bool DirectoryTree::removeTree(const QString &path)
{
    QDir dir(path);
    if (!dir.exists())
        return true;
    const QFileInfoList entries = listing(path);
    for (const QFileInfo &entry : entries) {
        // A linked directory is removed as a link: following it would empty a tree
        // outside the one asked for.
        const bool removed
                = entry.isDir() && !entry.isSymLink() ? removeTree(entry.filePath()) : dir.remove(entry.fileName());
        if (!removed)
            return false;
    }
    QString parent;
    QString name;
    if (!splitLastName(path, &parent, &name))
        return false;
    return QDir(parent).rmdir(name);
}

bool DirectoryTree::copyTree(const QString &src, const QString &dst)
{
    removeTree(dst);
    QString parent;
    QString name;
    if (!splitLastName(dst, &parent, &name) || !QDir(parent).mkdir(name))
        return false;
    const QFileInfoList entries = listing(src);
    for (const QFileInfo &entry : entries) {
        if (!copyEntry(entry, dst + QLatin1Char('/') + entry.fileName()))
            return false;
    }
    return true;
}

bool DirectoryTree::copyEntry(const QFileInfo &entry, const QString &target)
{
    // A linked directory is copied as a link: following it could reach an ancestor and
    // nest without end.
    if (entry.isDir() && entry.isSymLink())
        return QFile::link(entry.symLinkTarget(), target);
    if (entry.isDir())
        return copyTree(entry.filePath(), target);
    return QFile::copy(entry.filePath(), target);
}
