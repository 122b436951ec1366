#pragma once

#include <QList>
#include <QString>

class QTemporaryFile;

/// Self-deleting temporary files: each stays open and on disk until this object is
/// destroyed, which removes them all.
class TemporaryFiles
{
public:
    TemporaryFiles() = default;
    ~TemporaryFiles();

    TemporaryFiles(const TemporaryFiles &) = delete;
    TemporaryFiles &operator=(const TemporaryFiles &) = delete;

    /// Creates and opens (read-write) a new temporary file in the system temporary
    /// directory and returns its absolute path, "" when it cannot be created. The name is
    /// "tmp.XXXXXX.ovex" + `append`, or, for an empty `append`, the application name +
    /// ".XXXXXX"; the last run of six X is replaced by random characters.
    QString create(const QString &append);

    /// The name template `create` uses.
    static QString nameTemplate(const QString &append);

    /// The system temporary folder: the one TMPDIR names when that is an existing folder,
    /// otherwise the platform's default ("/tmp"); never "".
    static QString folder();

private:
    QList<QTemporaryFile *> files;
};
