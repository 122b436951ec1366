#pragma once

#include <QFileInfoList>
#include <QString>
#include <QVariantMap>

/// Listing, recursive removal and recursive copy of directories. Listings hold directories
/// and files without ".", "..", hidden and system entries, symbolic links included, sorted
/// by name ignoring case (directories not first).
class DirectoryTree
{
public:
    static QFileInfoList listing(const QString &path);

    /// {"files": names of the plain files, "dirs": names of the subdirectories}, each in
    /// listing order; both empty for a missing directory. "" lists the current directory.
    static QVariantMap content(const QString &path);

    /// Removes `path` with everything in it, entry by entry in listing order, stopping at
    /// the first failure. True when nothing exists at `path`. A path ending in a separator
    /// loses its content but is not removed itself (false). Links inside the tree are
    /// removed as links, never followed. A path naming the current directory ("", ".") is
    /// refused: false, nothing touched.
    static bool remove(const QString &path);

    /// Replaces `dst` by a copy of the tree `src`: removes `dst`, creates it in its
    /// (existing) parent, copies entry by entry; false at the first failure, the partial
    /// copy staying. A missing `src` gives an empty `dst`. Refused (false, nothing touched)
    /// when `dst` names the current directory or when either tree holds the other.
    static bool copy(const QString &src, const QString &dst);

private:
    static bool namesCurrentDirectory(const QString &path);
    static bool treesOverlap(const QString &a, const QString &b);
    static QString resolvedPath(const QString &path);
    static bool splitLastName(const QString &path, QString *parent, QString *name);
    static bool removeTree(const QString &path);
    static bool copyTree(const QString &src, const QString &dst);
    static bool copyEntry(const QFileInfo &entry, const QString &target);
};
