#pragma once

#include <QMap>
#include <QString>

class QFile;

/// Numbered file handles for streaming reads and writes. Ids count from 1, are handed out
/// only for successful opens and are never reused; 0 means failure. Unknown ids are
/// ignored by every operation.
class FileHandleTable
{
public:
    FileHandleTable() = default;
    /// Closes every handle still open.
    ~FileHandleTable();

    FileHandleTable(const FileHandleTable &) = delete;
    FileHandleTable &operator=(const FileHandleTable &) = delete;

    /// Opens `path` with the mode "r", "w", "a" (text: line ends translated the platform's
    /// way) or "rb", "wb", "ab" (binary). Returns the new id, or 0 when the mode is not one
    /// of these (nothing is created) or the open fails.
    int open(const QString &path, const QString &mode);
    void close(int id);
    /// At most `bytes` bytes as raw-bytes text; "" for unknown ids and unreadable handles.
    QString read(int id, int bytes);
    /// One line with its line end, at most `bytes` bytes (0 or less: no limit).
    QString readLine(int id, int bytes);
    /// Writes the Latin-1 form of `data` up to its first NUL when the handle is writable.
    void write(int id, const QString &data);
    /// As `write`, then a line feed.
    void writeLine(int id, const QString &data);

    bool contains(int id) const { return files.contains(id); }

private:
    QFile *readable(int id) const;

    int nextFileId = 0;
    QMap<int, QFile *> files;
};
