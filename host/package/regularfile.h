#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct stat;

// A file as it was found: the same device and inode is the same file.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;

    static FileId of(const struct stat &info);
    bool operator==(const FileId &other) const { return device == other.device && inode == other.inode; }
};

uint qHash(const FileId &id, uint seed = 0);

// A regular file open for reading, closed when it goes. Pipes, devices and sockets are
// never opened: opening a pipe waits for a writer.
class RegularFile
{
public:
    RegularFile() = default;
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    ~RegularFile();

    // Opens path when it is a regular file (and, with expected, that very file); returns
    // the problem, or "".
    QString open(const QString &path, const FileId *expected = nullptr);

    int fd() const { return m_fd; }
    qint64 size() const { return m_size; }

    // The whole file, or nothing when it does not read as long as it was.
    std::optional<QByteArray> readAll() const;
    // Exactly size bytes at offset, or false.
    bool read(char *data, qint64 size, qint64 offset) const;

    // The message of a system error number.
    static QString systemError(int error);

private:
    int m_fd = -1;
    qint64 m_size = 0;
};
