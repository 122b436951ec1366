#pragma once

#include "regularfile.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The files a package of a folder holds, in record order, and what had to be left out. The
// walk goes depth first, each level sorted by name ignoring case. It visits every real
// folder once, follows symbolic links only to places inside the folder, and takes only
// regular files: a pipe, a link to ~/.ssh or links that double at every level cannot hang
// or swell a package.
class FolderWalk
{
public:
    // A file to pack: its name in the package, the path without symbolic links it is read
    // from, and the file found there during the walk.
    struct File {
        QString name;
        QString realPath;
        FileId id;
        qint64 size = 0;
    };
    // An entry left out for what it is, with the reason.
    struct LeftOut {
        QString name;
        QString reason;
    };

    explicit FolderWalk(const QString &dirPath);

    const QVector<File> &files() const { return m_files; }
    // Names that are not valid in the file-name encoding, escaped.
    const QStringList &skipped() const { return m_skipped; }
    const QVector<LeftOut> &leftOut() const { return m_leftOut; }

private:
    bool inside(const QString &realPath) const;
    void collectRealFolders(const QString &realPath, const QString &name);
    void collectNames(const QString &realPath, const QString &name);

    // The folder's path without symbolic links.
    QString m_root;
    // Real folders by the names the package gives them, and the folders walked so far: no
    // folder is walked twice.
    QHash<FileId, QString> m_realFolders;
    QHash<FileId, QString> m_walked;
    QVector<File> m_files;
    QStringList m_skipped;
    QVector<LeftOut> m_leftOut;
};
