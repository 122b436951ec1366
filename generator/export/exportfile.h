#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFileDevice;

// One export file, written completely or not at all. A regular file (or a new
// one) is written under a temporary name in the same folder and renamed into
// place by commit(), so a failure or an abandoned write never leaves a
// partial file under the final name and never harms a file that was there.
// An existing device or pipe cannot be replaced; it is written directly.
// Every write, the flush and the close are checked.
class ExportFile
{
public:
    enum class Error {
        None,
        // The temporary file (or the device) could not be opened.
        CannotOpen,
        // A write, the flush, the close or the rename failed.
        CannotWrite,
        // A write failed because the disk or the user's quota is full.
        DiskFull
    };

    explicit ExportFile(const QString &path);
    // Discards the temporary file unless commit() succeeded.
    ~ExportFile();

    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    bool open();
    // False once any write has failed; later writes are not attempted.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Flushes, closes and renames into place. False when anything failed.
    bool commit();

    Error error() const { return m_error; }
    const QString &path() const { return m_path; }

    // Opens, writes the bytes and commits.
    static Error writeAll(const QString &path, const QByteArray &bytes);

private:
    void fail(Error error);
    Error writeFailure() const;

    QString m_path;
    std::unique_ptr<QFileDevice> m_device;
    bool m_direct = false;
    Error m_error = Error::None;
};
