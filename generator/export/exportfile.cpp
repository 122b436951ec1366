#include "exportfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>

namespace {

// Below this much free space a failed write is taken for a full disk.
constexpr qint64 kNearlyFull = 64 * 1024;

// Renaming over a device node or a pipe would replace it with a plain file.
bool isExistingSpecialFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

} // namespace

ExportFile::ExportFile(const QString &path)
    : m_path(path)
{ }

ExportFile::~ExportFile()
{
    if (auto *save = qobject_cast<QSaveFile *>(m_device.get()))
        save->cancelWriting();
}

bool ExportFile::open()
{
    m_direct = isExistingSpecialFile(m_path);
    if (m_direct)
        m_device = std::make_unique<QFile>(m_path);
    else
        m_device = std::make_unique<QSaveFile>(m_path);
    if (!m_device->open(QIODevice::WriteOnly)) {
        fail(Error::CannotOpen);
        return false;
    }
    return true;
}

bool ExportFile::write(const char *data, qint64 size)
{
    if (m_error != Error::None || !m_device)
        return false;
    while (size > 0) {
        errno = 0;
        const qint64 written = m_device->write(data, size);
        if (written <= 0) {
            fail(writeFailure());
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool ExportFile::commit()
{
    if (m_error != Error::None || !m_device)
        return false;
    errno = 0;
    if (!m_device->flush()) {
        fail(writeFailure());
        return false;
    }
    if (m_direct) {
        m_device->close();
        if (m_device->error() != QFileDevice::NoError) {
            fail(writeFailure());
            return false;
        }
        return true;
    }
    if (!static_cast<QSaveFile *>(m_device.get())->commit()) {
        fail(writeFailure());
        return false;
    }
    return true;
}

void ExportFile::fail(Error error)
{
    if (m_error == Error::None)
        m_error = error;
    if (auto *save = qobject_cast<QSaveFile *>(m_device.get()))
        save->cancelWriting();
}

ExportFile::Error ExportFile::writeFailure() const
{
    if (errno == ENOSPC || errno == EDQUOT)
        return Error::DiskFull;
    const QStorageInfo storage(QFileInfo(m_path).absolutePath());
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kNearlyFull)
        return Error::DiskFull;
    return Error::CannotWrite;
}

ExportFile::Error ExportFile::writeAll(const QString &path, const QByteArray &bytes)
{
    ExportFile file(path);
    if (file.open() && file.write(bytes))
        file.commit();
    return file.error();
}
