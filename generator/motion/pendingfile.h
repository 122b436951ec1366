#pragma once

#include <QString>

// A file written under a temporary name in its target's folder and renamed
// into place by commit(), so that a failed or abandoned write never leaves a
// partial file under the final name and never harms a file that was there.
// The temporary file is created empty (with the permissions a new file gets
// under the umask) for a writer that opens it by name.
class PendingFile
{
public:
    explicit PendingFile(const QString &path);
    // Removes the temporary file unless commit() succeeded.
    ~PendingFile();

    PendingFile(const PendingFile &) = delete;
    PendingFile &operator=(const PendingFile &) = delete;

    // Creates the temporary file; an empty result or the reason it failed.
    QString create();
    // Renames the temporary file over the target; an empty result or the reason.
    QString commit();
    // Removes the temporary file.
    void discard();

    const QString &temporaryPath() const { return m_temporary; }

private:
    QString m_path;
    QString m_temporary;
};
