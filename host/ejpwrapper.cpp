#include "ejpwrapper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <limits>
#include <optional>

#include <dirent.h>

namespace {

constexpr int LengthFieldsSize = 8;

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

// The whole file, or nothing when it cannot be opened. Reading at most the
// file's size keeps a device or pipe from feeding bytes without end; such a
// file, and one larger than a package may be, counts as unreadable.
std::optional<QByteArray> readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > EJPWrapper::MaxPackageSize)
        return std::nullopt;
    QByteArray bytes = file.read(file.size());
    if (bytes.size() != file.size())
        return std::nullopt;
    return bytes;
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

// A file name as readable text, with every byte outside printable ASCII (and
// the backslash) as \xHH.
QString escapedName(const QByteArray &raw)
{
    QString text;
    for (const char c : raw) {
        const auto byte = uchar(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    return text;
}

// The visible names in a folder that are not valid in the file-name encoding
// (UTF-8). QDir leaves such entries out without a word, so the folder is read
// once more at the level of bytes to find them.
QStringList undecodableNames(const QString &dirPath)
{
    QStringList names;
    DIR *dir = opendir(QFile::encodeName(dirPath).constData());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (!raw.startsWith('.') && QFile::encodeName(QFile::decodeName(raw)) != raw)
            names.append(escapedName(raw));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The names a package of a folder holds, in record order, and what had to be
// left out.
struct FolderWalk {
    QString root;
    // Canonical paths of the directories being walked, so a symbolic link back
    // up the tree is not followed round and round.
    QStringList ancestors;
    QStringList names;
    QStringList skipped;
};

// A depth-first walk, each level sorted by name ignoring case, with every
// directory walked at its place in that order.
void collectNames(FolderWalk &walk, const QString &prefix)
{
    const QString dirPath = walk.root + prefix;
    walk.ancestors.append(QFileInfo(dirPath).canonicalFilePath());
    for (const QString &name : undecodableNames(dirPath))
        walk.skipped.append(prefix + QLatin1Char('/') + name);
    for (const QFileInfo &info : sortedListing(dirPath)) {
        const QString name = prefix + QLatin1Char('/') + info.fileName();
        if (!info.isDir())
            walk.names.append(name);
        else if (!walk.ancestors.contains(info.canonicalFilePath()))
            collectNames(walk, name);
    }
    walk.ancestors.removeLast();
}

FolderWalk walkFolder(const QString &dirPath)
{
    FolderWalk walk;
    walk.root = QFileInfo(dirPath).absoluteFilePath();
    collectNames(walk, QString());
    return walk;
}

qint64 recordSize(qint64 nameSize, qint64 bodySize)
{
    return LengthFieldsSize + nameSize + PayloadCipher::Overhead + bodySize + PayloadCipher::Overhead;
}

// The size the package of these files will have, from the sizes the files have
// now; 64-bit, so that no sum of file sizes can wrap.
qint64 packageSize(const QString &dirPath, const QStringList &names)
{
    qint64 size = 0;
    for (const QString &name : names) {
        const QFileInfo file(dirPath + name);
        size += recordSize(name.toUtf8().size(), file.isFile() ? file.size() : 0);
    }
    return size;
}

} // namespace

// A QByteArray cannot hold more; a larger file is not read at all rather than
// read in part.
const qint64 EJPWrapper::MaxPackageSize = std::numeric_limits<int>::max() - 4096;

EJPWrapper::EJPWrapper()
    : m_cipher(PackageKey)
{ }

EJPWrapper::WrapResult EJPWrapper::wrap(const QString &dirPath, const QString &ejpFile, qint64 maxSize) const
{
    WrapResult result;
    const FolderWalk walk = walkFolder(dirPath);
    result.skipped = walk.skipped;
    // Checked before anything is read: the whole package must fit what a reader
    // can load (and what one byte array can hold).
    const qint64 expected = packageSize(dirPath, walk.names);
    if (expected > maxSize) {
        result.error = QStringLiteral("the package would take %1 bytes, more than the %2 a package may hold")
                               .arg(expected)
                               .arg(maxSize);
        return result;
    }
    // Written through a temporary file, so a failure leaves any earlier package
    // in place; the walk is over, so the package never holds itself.
    QSaveFile out(ejpFile);
    if (!out.open(QIODevice::WriteOnly)) {
        result.error = QStringLiteral("cannot write %1: %2").arg(ejpFile, out.errorString());
        return result;
    }
    qint64 size = 0;
    for (const QString &name : walk.names) {
        const std::optional<QByteArray> body = readWhole(dirPath + name);
        if (!body)
            result.unreadable.append(name);
        // UTF-8, the encoding readers decode names with, so that names
        // beyond ASCII come back as they were packed.
        const QByteArray cipheredName = m_cipher.encode(name.toUtf8());
        const QByteArray cipheredBody = m_cipher.encode(body.value_or(QByteArray()));
        size += recordSize(cipheredName.size() - PayloadCipher::Overhead,
                           cipheredBody.size() - PayloadCipher::Overhead);
        if (size > maxSize) {
            result.error = QStringLiteral("%1 grew while it was packed; the package would be too large").arg(name);
            out.cancelWriting();
            return result;
        }
        const QByteArray record = lengthField(cipheredName.size()) + lengthField(cipheredBody.size());
        if (out.write(record) != record.size() || out.write(cipheredName) != cipheredName.size()
            || out.write(cipheredBody) != cipheredBody.size())
            break;
    }
    if (!out.commit()) {
        result.error = QStringLiteral("cannot write %1: %2").arg(ejpFile, out.errorString());
        return result;
    }
    result.written = true;
    return result;
}

void EJPWrapper::load(const QString &ejpFile)
{
    loadData(readWhole(ejpFile).value_or(QByteArray()));
}

std::optional<QByteArray> EJPWrapper::readFile(const QString &path)
{
    return readWhole(path);
}

QVector<EJPWrapper::Record> EJPWrapper::records(const QByteArray &package, qint64 *end) const
{
    QVector<Record> found;
    qint64 pos = 0;
    while (const std::optional<RawRecord> record = recordAt(package, pos)) {
        found.append({pos, m_cipher.tryDecode(record->name), m_cipher.tryDecode(record->body)});
        pos += record->size;
    }
    if (end)
        *end = pos;
    return found;
}

void EJPWrapper::loadData(const QByteArray &package)
{
    for (const Record &record : records(package)) {
        const QByteArray name = record.name.value_or(QByteArray());
        // With its size: a name with a NUL inside must not stand for the name before it.
        store(QString::fromUtf8(name.constData(), name.size()), record.body.value_or(QByteArray()),
              record.name && record.body);
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
