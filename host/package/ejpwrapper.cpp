#include "ejpwrapper.h"

#include "regularfile.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr int LengthFieldsSize = 8;

struct RawRecord {
    QByteArray name;
    QByteArray body;
    qint64 size;
};

// 8 + N + D from the length fields at fields, in 64 bits: 8 + N + D of two
// 32-bit lengths overflows 32 bits.
qint64 recordSizeAt(const char *fields)
{
    return LengthFieldsSize + qint64(qFromLittleEndian<quint32>(fields)) + qFromLittleEndian<quint32>(fields + 4);
}

// The record at pos, or nothing when its length fields or its lengths reach
// past the end of the package. The name and body share the package's bytes.
std::optional<RawRecord> recordAt(const QByteArray &package, qint64 pos)
{
    const qint64 left = package.size() - pos;
    if (left < LengthFieldsSize)
        return std::nullopt;
    const char *start = package.constData() + pos;
    const qint64 nameSize = qFromLittleEndian<quint32>(start);
    const qint64 size = recordSizeAt(start);
    if (size > left)
        return std::nullopt;
    const char *name = start + LengthFieldsSize;
    return RawRecord {QByteArray::fromRawData(name, int(nameSize)),
                      QByteArray::fromRawData(name + nameSize, int(size - LengthFieldsSize - nameSize)), size};
}

QByteArray lengthField(int size)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(quint32(size), field.data());
    return field;
}

// What the length fields of a package of size bytes say: how many complete
// records it holds and where they end. Counting stops, with tooMany, as soon
// as the records are more than size bytes can hold, so that bytes claiming
// millions of records cost no more than a look at the first size / 54 of them.
struct Layout {
    qint64 records = 0;
    qint64 end = 0;
    bool tooMany = false;
    // The length fields could not be read (a file that failed or shrank).
    bool unreadable = false;
};

// readFields(pos, fields) copies the 8 bytes of length fields at pos into
// fields, or returns false.
template<typename ReadFields>
Layout scanLayout(qint64 size, ReadFields readFields)
{
    Layout layout;
    const qint64 most = size / EJPWrapper::MinimumRecordSize;
    qint64 pos = 0;
    char fields[LengthFieldsSize];
    while (size - pos >= LengthFieldsSize) {
        if (!readFields(pos, fields)) {
            layout.unreadable = true;
            break;
        }
        const qint64 recordSize = recordSizeAt(fields);
        if (recordSize > size - pos)
            break;
        pos += recordSize;
        if (++layout.records > most)
            break;
    }
    layout.end = pos;
    // Every record takes at least MinimumRecordSize bytes of those before end.
    layout.tooMany = layout.records > layout.end / EJPWrapper::MinimumRecordSize;
    return layout;
}

Layout layoutOf(const QByteArray &package)
{
    return scanLayout(package.size(), [&package](qint64 pos, char *fields) {
        std::memcpy(fields, package.constData() + pos, LengthFieldsSize);
        return true;
    });
}

QString tooManyRecords(const Layout &layout)
{
    return QStringLiteral("not a package: %1 records in its first %2 bytes, but a record takes at least %3 bytes")
            .arg(layout.records)
            .arg(layout.end)
            .arg(EJPWrapper::MinimumRecordSize);
}

// The whole regular file at path, when it is still the file expected and no
// larger than a package may be; nothing when it cannot be read so.
std::optional<QByteArray> readWhole(const QString &path, const FileId &expected)
{
    RegularFile file;
    if (!file.open(path, &expected).isEmpty() || file.size() > EJPWrapper::MaxPackageSize)
        return std::nullopt;
    return file.readAll();
}

qint64 recordSize(qint64 nameSize, qint64 bodySize)
{
    return LengthFieldsSize + nameSize + PayloadCipher::Overhead + bodySize + PayloadCipher::Overhead;
}

// The size the package of these files will have, from the sizes the files had
// during the walk; 64-bit, so that no sum of file sizes can wrap.
qint64 packageSize(const QVector<FolderWalk::File> &files)
{
    qint64 size = 0;
    for (const FolderWalk::File &file : files)
        size += recordSize(file.name.toUtf8().size(), file.size);
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
    const FolderWalk walk(dirPath);
    result.skipped = walk.skipped();
    result.leftOut = walk.leftOut();
    // Checked before anything is read: the whole package must fit what a reader
    // can load (and what one byte array can hold).
    const qint64 expected = packageSize(walk.files());
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
    for (const FolderWalk::File &file : walk.files()) {
        // Read from the path the walk found it at, and only if it is still the
        // regular file found there.
        const std::optional<QByteArray> body = readWhole(file.realPath, file.id);
        if (!body)
            result.unreadable.append(file.name);
        // UTF-8, the encoding readers decode names with, so that names
        // beyond ASCII come back as they were packed.
        const QByteArray cipheredName = m_cipher.encode(file.name.toUtf8());
        const QByteArray cipheredBody = m_cipher.encode(body.value_or(QByteArray()));
        size += recordSize(cipheredName.size() - PayloadCipher::Overhead,
                           cipheredBody.size() - PayloadCipher::Overhead);
        if (size > maxSize) {
            result.error = QStringLiteral("%1 grew while it was packed; the package would be too large").arg(file.name);
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
    loadData(readFile(ejpFile).value_or(QByteArray()));
}

std::optional<QByteArray> EJPWrapper::readFile(const QString &path, QString *problem)
{
    RegularFile file;
    QString why = file.open(path);
    if (why.isEmpty() && file.size() > MaxPackageSize)
        why = QStringLiteral("larger than the %1 bytes a package may hold").arg(MaxPackageSize);
    // The length fields first, straight from the file in small pieces: bytes
    // that claim more records than they can hold are refused before they take
    // any memory.
    if (why.isEmpty()) {
        QByteArray buffer;
        qint64 bufferStart = 0;
        const Layout layout = scanLayout(file.size(), [&](qint64 pos, char *fields) {
            if (pos < bufferStart || pos + LengthFieldsSize > bufferStart + buffer.size()) {
                const qint64 length = std::min<qint64>(16 * 1024, file.size() - pos);
                buffer.resize(int(length));
                bufferStart = pos;
                if (!file.read(buffer.data(), length, pos))
                    return false;
            }
            std::memcpy(fields, buffer.constData() + (pos - bufferStart), LengthFieldsSize);
            return true;
        });
        if (layout.unreadable)
            why = QStringLiteral("cannot read it whole");
        else if (layout.tooMany)
            why = tooManyRecords(layout);
    }
    std::optional<QByteArray> bytes;
    if (why.isEmpty()) {
        bytes = file.readAll();
        if (!bytes)
            why = QStringLiteral("cannot read it whole");
        // The file may have changed since its length fields were read.
        else if (const QString layout = layoutProblem(*bytes); !layout.isEmpty()) {
            why = layout;
            bytes.reset();
        }
    }
    if (problem)
        *problem = why;
    return bytes;
}

QString EJPWrapper::layoutProblem(const QByteArray &package)
{
    const Layout layout = layoutOf(package);
    return layout.tooMany ? tooManyRecords(layout) : QString();
}

template<typename Visit>
qint64 EJPWrapper::forEachRecord(const QByteArray &package, Visit visit) const
{
    qint64 pos = 0;
    while (const std::optional<RawRecord> record = recordAt(package, pos)) {
        visit(Record {pos, m_cipher.tryDecode(record->name), m_cipher.tryDecode(record->body)});
        pos += record->size;
    }
    return pos;
}

QVector<EJPWrapper::Record> EJPWrapper::records(const QByteArray &package, qint64 *end) const
{
    QVector<Record> found;
    const Layout layout = layoutOf(package);
    if (layout.tooMany) {
        if (end)
            *end = 0;
        return found;
    }
    found.reserve(int(layout.records));
    const qint64 stop = forEachRecord(package, [&found](Record &&record) { found.append(std::move(record)); });
    if (end)
        *end = stop;
    return found;
}

void EJPWrapper::loadData(const QByteArray &package)
{
    if (layoutOf(package).tooMany)
        return;
    forEachRecord(package, [this](const Record &record) {
        const QByteArray name = record.name.value_or(QByteArray());
        // With its size: a name with a NUL inside must not stand for the name before it.
        store(QString::fromUtf8(name.constData(), name.size()), record.body.value_or(QByteArray()),
              record.name && record.body);
    });
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
