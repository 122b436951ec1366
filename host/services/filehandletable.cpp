#include "filehandletable.h"

#include "scripttext.h"

#include <QFile>

namespace {

// The open flags of a mode string; NotOpen for anything outside the six modes.
QIODevice::OpenMode openModeOf(const QString &mode)
{
    if (mode == QLatin1String("r"))
        return QIODevice::ReadOnly | QIODevice::Text;
    if (mode == QLatin1String("w"))
        return QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text;
    if (mode == QLatin1String("a"))
        return QIODevice::Append | QIODevice::Text;
    if (mode == QLatin1String("rb"))
        return QIODevice::ReadOnly;
    if (mode == QLatin1String("wb"))
        return QIODevice::WriteOnly | QIODevice::Truncate;
    if (mode == QLatin1String("ab"))
        return QIODevice::Append;
    return QIODevice::NotOpen;
}

} // namespace

FileHandleTable::~FileHandleTable()
{
    qDeleteAll(files);
}

int FileHandleTable::open(const QString &path, const QString &mode)
{
    const QIODevice::OpenMode flags = openModeOf(mode);
    if (flags == QIODevice::NotOpen)
        return 0;
    auto *file = new QFile(path);
    if (!file->open(flags)) {
        delete file;
        return 0;
    }
    files.insert(++nextFileId, file);
    return nextFileId;
}

void FileHandleTable::close(int id)
{
    delete files.take(id);
}

QString FileHandleTable::read(int id, int bytes)
{
    QFile *file = readable(id);
    if (!file || bytes <= 0)
        return QString();
    return ScriptText::fromRawBytes(file->read(bytes));
}

QString FileHandleTable::readLine(int id, int bytes)
{
    QFile *file = readable(id);
    if (!file)
        return QString();
    // The toolkit's limit counts a terminating zero byte as well, so one more is asked for.
    return ScriptText::fromRawBytes(file->readLine(bytes > 0 ? qint64(bytes) + 1 : 0));
}

void FileHandleTable::write(int id, const QString &data)
{
    QFile *file = files.value(id);
    // Checked here because the device warns on stderr about writes to read-only handles.
    if (file && file->isWritable())
        file->write(ScriptText::toLatin1(data));
}

void FileHandleTable::writeLine(int id, const QString &data)
{
    // Separate writes: the line end follows even when `data` is cut at a NUL.
    write(id, data);
    write(id, QStringLiteral("\n"));
}

QFile *FileHandleTable::readable(int id) const
{
    QFile *file = files.value(id);
    return file && file->isReadable() ? file : nullptr;
}
