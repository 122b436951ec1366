#include "ejpwrapper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A file as it was found: the same device and inode is the same file.
struct FileId {
    quint64 device = 0;
    quint64 inode = 0;

    static FileId of(const struct stat &info) { return {quint64(info.st_dev), quint64(info.st_ino)}; }
    bool operator==(const FileId &other) const { return device == other.device && inode == other.inode; }
};

uint qHash(const FileId &id, uint seed = 0)
{
    return ::qHash(qMakePair(id.device, id.inode), seed);
}

// Reads exactly size bytes at offset, or returns false.
bool readFully(int fd, char *data, qint64 size, qint64 offset)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A regular file open for reading, closed when it goes.
class RegularFile
{
public:
    RegularFile() = default;
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    ~RegularFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // Opens path when it is a regular file (and, with expected, that very
    // file); returns the problem, or "". The type is checked before opening,
    // so a pipe or device is never opened (opening a pipe waits for a writer);
    // O_NONBLOCK keeps the open from waiting should a pipe take the file's
    // place in between, and the opened file is checked again.
    QString open(const QString &path, const FileId *expected = nullptr)
    {
        const QByteArray native = QFile::encodeName(path);
        struct stat before {
        };
        if (::stat(native.constData(), &before) != 0)
            return systemError(errno);
        if (!S_ISREG(before.st_mode))
            return QStringLiteral("not a regular file");
        m_fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0)
            return systemError(errno);
        struct stat opened {
        };
        if (::fstat(m_fd, &opened) != 0)
            return systemError(errno);
        if (!S_ISREG(opened.st_mode) || !(FileId::of(opened) == FileId::of(before))
            || (expected && !(FileId::of(opened) == *expected)))
            return QStringLiteral("replaced while it was opened");
        m_size = opened.st_size;
        return QString();
    }

    int fd() const { return m_fd; }
    qint64 size() const { return m_size; }

    // The whole file, or nothing when it does not read as long as it was.
    std::optional<QByteArray> readAll() const
    {
        QByteArray bytes(int(m_size), Qt::Uninitialized);
        if (!readFully(m_fd, bytes.data(), m_size, 0))
            return std::nullopt;
        // One byte more would mean the file grew; it is read as it was opened.
        return bytes;
    }

private:
    int m_fd = -1;
    qint64 m_size = 0;
};

// The whole regular file at path, when it is still the file expected and no
// larger than a package may be; nothing when it cannot be read so.
std::optional<QByteArray> readWhole(const QString &path, const FileId &expected)
{
    RegularFile file;
    if (!file.open(path, &expected).isEmpty() || file.size() > EJPWrapper::MaxPackageSize)
        return std::nullopt;
    return file.readAll();
}

bool lessIgnoringCase(const QFileInfo &a, const QFileInfo &b)
{
    const int folded = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
    // Names equal but for case get a fixed order instead of the sort's whim.
    return folded != 0 ? folded < 0 : a.fileName() < b.fileName();
}

// Every visible entry of a folder: folders, files, links (broken ones too)
// and special files, which are reported rather than passed over in silence.
QFileInfoList sortedListing(const QString &dirPath)
{
    QFileInfoList listing = QDir(dirPath).entryInfoList(QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot,
                                                        QDir::Unsorted);
    std::sort(listing.begin(), listing.end(), lessIgnoringCase);
    return listing;
}

// The real folders below root (root included), reached through no symbolic
// link and no hidden name, with the names a package gives them.
void collectRealFolders(const QString &realPath, const QString &name, QHash<FileId, QString> &folders)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(realPath).constData(), &info) != 0 || folders.contains(FileId::of(info)))
        return;
    folders.insert(FileId::of(info), name);
    for (const QFileInfo &entry : QDir(realPath).entryInfoList(QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot))
        collectRealFolders(realPath + QLatin1Char('/') + entry.fileName(), name + QLatin1Char('/') + entry.fileName(),
                           folders);
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

// A file to pack: its name in the package, the path without symbolic links
// it is read from, and the file found there during the walk.
struct PackedFile {
    QString name;
    QString realPath;
    FileId id;
    qint64 size = 0;
};

// The files a package of a folder holds, in record order, and what had to be
// left out.
struct FolderWalk {
    // The folder's path without symbolic links.
    QString root;
    // Real folders by the names the package gives them (see collectRealFolders),
    // and the folders walked so far: no folder is walked twice.
    QHash<FileId, QString> realFolders;
    QHash<FileId, QString> walked;
    QVector<PackedFile> files;
    QStringList skipped;
    QVector<EJPWrapper::WrapResult::LeftOut> leftOut;

    bool inside(const QString &realPath) const
    {
        return realPath == root || realPath.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/'));
    }
};

QString folderName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("/") : name;
}

// A depth-first walk, each level sorted by name ignoring case, with every
// directory walked at its place in that order. realPath is the folder's path
// without symbolic links, name its name in the package ("" for the root).
void collectNames(FolderWalk &walk, const QString &realPath, const QString &name)
{
    for (const QString &undecodable : undecodableNames(realPath))
        walk.skipped.append(name + QLatin1Char('/') + undecodable);
    for (const QFileInfo &info : sortedListing(realPath)) {
        const QString entryName = name + QLatin1Char('/') + info.fileName();
        QString entryPath = realPath + QLatin1Char('/') + info.fileName();
        const auto leaveOut = [&walk, &entryName](const QString &reason) {
            walk.leftOut.append({entryName, reason});
        };
        struct stat entry {
        };
        if (::lstat(QFile::encodeName(entryPath).constData(), &entry) != 0) {
            leaveOut(systemError(errno));
            continue;
        }
        const bool link = S_ISLNK(entry.st_mode);
        if (link) {
            const QString target = QFileInfo(entryPath).canonicalFilePath();
            if (target.isEmpty()) {
                leaveOut(QStringLiteral("a symbolic link that leads nowhere"));
                continue;
            }
            if (!walk.inside(target)) {
                leaveOut(QStringLiteral("a symbolic link to %1, outside the folder").arg(target));
                continue;
            }
            entryPath = target;
        }
        struct stat found {
        };
        if (::stat(QFile::encodeName(entryPath).constData(), &found) != 0) {
            leaveOut(systemError(errno));
            continue;
        }
        const FileId id = FileId::of(found);
        if (S_ISDIR(found.st_mode)) {
            // A link to a real folder leaves it to its own name; a folder met
            // again (a link back up, a second link) is not walked again.
            const QString packedAs = link ? walk.realFolders.value(id, walk.walked.value(id)) : walk.walked.value(id);
            const bool known
                    = link ? walk.realFolders.contains(id) || walk.walked.contains(id) : walk.walked.contains(id);
            if (known) {
                leaveOut(QStringLiteral("a second name of the folder packed as %1").arg(folderName(packedAs)));
                continue;
            }
            walk.walked.insert(id, entryName);
            collectNames(walk, entryPath, entryName);
        } else if (S_ISREG(found.st_mode)) {
            walk.files.append({entryName, entryPath, id, qint64(found.st_size)});
        } else {
            leaveOut(QStringLiteral("not a regular file or folder"));
        }
    }
}

FolderWalk walkFolder(const QString &dirPath)
{
    FolderWalk walk;
    walk.root = QFileInfo(dirPath).canonicalFilePath();
    if (walk.root.isEmpty())
        return walk;
    collectRealFolders(walk.root, QString(), walk.realFolders);
    struct stat info {
    };
    if (::stat(QFile::encodeName(walk.root).constData(), &info) == 0)
        walk.walked.insert(FileId::of(info), QString());
    collectNames(walk, walk.root, QString());
    return walk;
}

qint64 recordSize(qint64 nameSize, qint64 bodySize)
{
    return LengthFieldsSize + nameSize + PayloadCipher::Overhead + bodySize + PayloadCipher::Overhead;
}

// The size the package of these files will have, from the sizes the files had
// during the walk; 64-bit, so that no sum of file sizes can wrap.
qint64 packageSize(const QVector<PackedFile> &files)
{
    qint64 size = 0;
    for (const PackedFile &file : files)
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
    const FolderWalk walk = walkFolder(dirPath);
    result.skipped = walk.skipped;
    result.leftOut = walk.leftOut;
    // Checked before anything is read: the whole package must fit what a reader
    // can load (and what one byte array can hold).
    const qint64 expected = packageSize(walk.files);
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
    for (const PackedFile &file : walk.files) {
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
                if (!readFully(file.fd(), buffer.data(), length, pos))
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
