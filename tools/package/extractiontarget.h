#pragma once

#include <QByteArray>
#include <QString>

/// A folder that package entries are written into, and never anything outside it,
/// whatever names a package holds.
class ExtractionTarget
{
public:
    explicit ExtractionTarget(const QString &folder);

    /// Creates the folder when it is missing. Returns the problem, or "".
    QString prepare() const;

    /// Why an entry name cannot be written inside the folder, or "" when it can: it must
    /// be "/" followed by non-empty parts separated by "/", none of them "." or "..",
    /// with no backslash and no NUL character.
    static QString nameProblem(const QString &name);

    /// Writes `body` as the file `name` names below the folder, creating folders on the
    /// way; a symbolic link on the way or in the file's place is never followed (refused),
    /// nor is anything but a regular file replaced. The file is written under a temporary
    /// name in its folder and renamed over the old one once it is complete on disk: a
    /// failed write leaves the old file as it was and no temporary file, and a hard link
    /// in the file's place is replaced, not written through. Returns the problem, or "".
    QString write(const QString &name, const QByteArray &body) const;

private:
    QString m_folder;
};
