#pragma once

#include "folderwalk.h"
#include "payloadcipher.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// Writes EJP packages from a directory and holds the content of loaded ones.
//
// A package is a plain sequence of records, each the enciphered name length N
// and body length D (unsigned 32-bit little-endian), then the enciphered name
// and the enciphered body. Names are paths relative to the packed directory,
// starting with "/" (/index.html, /img/logo.png); bodies are the files' bytes.
//
// Every record wrap() writes takes at least MinimumRecordSize bytes, so a file
// of S bytes holds at most S / MinimumRecordSize records. Bytes that claim more
// (480 MB of zeros would be 60 million empty records) are no package: readers
// refuse them before building anything from their records.
class EJPWrapper
{
public:
    // The key every package is enciphered with.
    static constexpr quint64 PackageKey = 58203174;

    EJPWrapper();
    EJPWrapper(const EJPWrapper &) = delete;
    EJPWrapper &operator=(const EJPWrapper &) = delete;

    // The largest package load() reads, and so the largest wrap() writes.
    static const qint64 MaxPackageSize;

    // The size of the smallest record: the length fields and two enciphered
    // empty payloads.
    static constexpr qint64 MinimumRecordSize = 8 + 2 * PayloadCipher::Overhead;

    // What wrap() did.
    struct WrapResult {
        // The package file was written (it may still lack the files below).
        bool written = false;
        // Why it was not, in one line.
        QString error;
        // Files and folders left out because their names are not valid UTF-8,
        // as paths relative to the packed folder with such bytes as \xHH.
        QStringList skipped;
        // Files packed with an empty body because they could not be read.
        QStringList unreadable;
        // Entries left out for what they are, with the reason.
        using LeftOut = FolderWalk::LeftOut;
        QVector<LeftOut> leftOut;

        // Written with every file of the folder.
        bool complete() const { return written && skipped.isEmpty() && unreadable.isEmpty() && leftOut.isEmpty(); }
    };

    // Writes a package of every visible file below dirPath to ejpFile,
    // replacing that file only once the package is complete on disk. An
    // unreadable file gets a record with an empty body; an empty directory
    // gives an empty package. A package larger than maxSize bytes is refused
    // before any file is read. Does not touch the loaded entries.
    //
    // Symbolic links are followed only to what lies inside the folder: a link
    // to a file there is packed under its own name; a link to a folder there
    // is walked under its name unless that folder is packed already, so every
    // folder is walked once and no link can multiply the files or lead round.
    // Left out, in leftOut: links that lead outside the folder or nowhere,
    // second names (links) of a folder packed under another name, and
    // whatever is neither a regular file nor a folder (pipes, sockets,
    // devices, directly or through a link). Nothing but regular files is ever
    // opened.
    WrapResult wrap(const QString &dirPath, const QString &ejpFile, qint64 maxSize = MaxPackageSize) const;

    // One record of a package as it was read.
    struct Record {
        // Where its length fields start in the package.
        qint64 offset = 0;
        // The deciphered name and body; nothing where deciphering failed.
        std::optional<QByteArray> name;
        std::optional<QByteArray> body;
    };

    // Why package cannot be a package, judged from its length fields alone
    // without deciphering anything: it holds more records than its size can
    // (see MinimumRecordSize). "" when it can be one.
    static QString layoutProblem(const QByteArray &package);

    // Every complete record of package in file order, each deciphered on its
    // own. end, when given, gets the offset where reading stopped: the size of
    // the package unless its last record is cut short. A package with a
    // layout problem has no records (and end 0).
    QVector<Record> records(const QByteArray &package, qint64 *end = nullptr) const;

    // The bytes of a package file, or nothing when it cannot be read whole:
    // missing, not a regular file (a pipe or device is never opened for
    // reading and so cannot block), larger than MaxPackageSize, or, found
    // before the file is read into memory, with a layout problem. problem,
    // when given, gets the reason in a few words.
    static std::optional<QByteArray> readFile(const QString &path, QString *problem = nullptr);

    // Adds the entries of the package file ejpFile to the loaded ones; a file
    // that readFile refuses loads nothing. Reports nothing.
    void load(const QString &ejpFile);

    // Adds the entries of the package bytes to the loaded ones. Reading stops
    // at the first record whose lengths reach past the end; a package with a
    // layout problem loads nothing. An entry of an earlier name is replaced,
    // except that a record that fails to decipher (stored with an empty name
    // and/or body) never replaces an entry that deciphered well.
    void loadData(const QByteArray &package);

    // Whether an entry of exactly this name (case-sensitive) is loaded.
    bool contains(const QString &name) const;

    // The body of the entry name, empty when there is none.
    QByteArray data(const QString &name) const;

    // Every loaded entry, by name.
    const QMap<QString, QByteArray> &entries() const { return m_entries; }

private:
    // Calls visit(record) for every complete record, in file order, building no list.
    template<typename Visit>
    qint64 forEachRecord(const QByteArray &package, Visit visit) const;
    void store(const QString &name, const QByteArray &body, bool intact);

    PayloadCipher m_cipher;
    QMap<QString, QByteArray> m_entries;
    QSet<QString> m_intactNames;
};
