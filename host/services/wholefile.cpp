#include "wholefile.h"

#include "scripttext.h"

#include <QFile>

namespace {

void writeWith(const QString &path, const QString &content, QIODevice::OpenMode mode)
{
    QFile file(path);
    if (file.open(mode | QIODevice::Text))
        file.write(ScriptText::toLatin1(content));
}

} // namespace

QString WholeFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return ScriptText::fromRawBytes(file.readAll());
}

void WholeFile::write(const QString &path, const QString &content)
{
    writeWith(path, content, QIODevice::WriteOnly | QIODevice::Truncate);
}

void WholeFile::append(const QString &path, const QString &content)
{
    writeWith(path, content, QIODevice::Append);
}

bool WholeFile::create(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}
