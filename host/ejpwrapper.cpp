#include "ejpwrapper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int LengthFieldsSize = 8;

// A QByteArray cannot hold more; a larger file is not read at all rather
// than read in part.
constexpr qint64 MaxPackageSize = std::numeric_limits<int>::max() - 4096;

struct RawRecord {
    QByteArray name;
    QByteArray body;
    qint64 size;
};

// The record at pos, or nothing when its length fields or its lengths reach
// past the end of the package. The name and body share the package's bytes.
std::optional<RawRecord> recordAt(const QByteArray &package, qint64 pos)
{
    const qint64 left = package.size() - pos;
    if (left < LengthFieldsSize)
        return std::nullopt;
    const char *start = package.constData() + pos;
    const qint64 nameSize = qFromLittleEndian<quint32>(start);
    const qint64 bodySize = qFromLittleEndian<quint32>(start + 4);
    // 64-bit sums: 8 + N + D of two 32-bit lengths overflows 32 bits.
    const qint64 size = LengthFieldsSize + nameSize + bodySize;
    if (size > left)
        return std::nullopt;
    const char *name = start + LengthFieldsSize;
    return RawRecord {QByteArray::fromRawData(name, int(nameSize)),
                      QByteArray::fromRawData(name + nameSize, int(bodySize)), size};
}

QByteArray lengthField(int size)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(quint32(size), field.data());
    return field;
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    // Reading at most the file's size keeps a device or pipe from feeding
    // bytes without end; such a file reads as empty.
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > MaxPackageSize)
        return QByteArray();
    return file.read(file.size());
}

bool lessIgnoringCase(const QFileInfo &a, const QFileInfo &b)
{
    const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
    // Names equal but for case get a fixed order instead of the sort's whim.
    return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
}

QFileInfoList sortedListing(const QString &dirPath)
{
    QFileInfoList listing
            = QDir(dirPath).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(listing.begin(), listing.end(), lessIgnoringCase);
    return listing;
}

// ancestors holds the canonical paths of the directories being walked, so a
// symbolic link back up the tree is not followed round and round.
void collectNames(const QString &root, const QString &prefix, QStringList &ancestors, QStringList &names)
{
    const QString dirPath = root + prefix;
    ancestors.append(QFileInfo(dirPath).canonicalFilePath());
    for (const QFileInfo &info : sortedListing(dirPath)) {
        const QString name = prefix + QLatin1Char('/') + info.fileName();
        if (!info.isDir())
            names.append(name);
        else if (!ancestors.contains(info.canonicalFilePath()))
            collectNames(root, name, ancestors, names);
    }
    ancestors.removeLast();
}

// The names a package of dirPath holds, in record order: a depth-first walk,
// each level sorted by name ignoring case, with every directory walked at its
// place in that order.
QStringList entryNames(const QString &dirPath)
{
    QStringList names;
    QStringList ancestors;
    collectNames(QFileInfo(dirPath).absoluteFilePath(), QString(), ancestors, names);
    return names;
}

} // namespace

EJPWrapper::EJPWrapper()
    : m_cipher(PackageKey)
{ }

void EJPWrapper::wrap(const QString &dirPath, const QString &ejpFile) const
{
    QByteArray package;
    for (const QString &name : entryNames(dirPath)) {
        // UTF-8, the encoding readers decode names with, so that names
        // beyond ASCII come back as they were packed.
        const QByteArray cipheredName = m_cipher.encode(name.toUtf8());
        const QByteArray cipheredBody = m_cipher.encode(readWhole(dirPath + name));
        package += lengthField(cipheredName.size()) + lengthField(cipheredBody.size()) + cipheredName + cipheredBody;
    }
    QFile out(ejpFile);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(package);
}

void EJPWrapper::load(const QString &ejpFile)
{
    loadData(readWhole(ejpFile));
}

void EJPWrapper::loadData(const QByteArray &package)
{
    qint64 pos = 0;
    while (const std::optional<RawRecord> record = recordAt(package, pos)) {
        const std::optional<QByteArray> name = m_cipher.tryDecode(record->name);
        const std::optional<QByteArray> body = m_cipher.tryDecode(record->body);
        store(QString::fromUtf8(name.value_or(QByteArray())), body.value_or(QByteArray()), name && body);
        pos += record->size;
    }
}

void EJPWrapper::store(const QString &name, const QByteArray &body, bool intact)
{
    if (intact)
        m_intactNames.insert(name);
    else if (m_intactNames.contains(name))
        return;
    m_entries.insert(name, body);
}

bool EJPWrapper::contains(const QString &name) const
{
    return m_entries.contains(name);
}

QByteArray EJPWrapper::data(const QString &name) const
{
    return m_entries.value(name);
}
