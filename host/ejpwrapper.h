#pragma once

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

        // Written with every file of the folder.
        bool complete() const { return written && skipped.isEmpty() && unreadable.isEmpty(); }
    };

    // Writes a package of every visible file below dirPath to ejpFile,
    // replacing that file only once the package is complete on disk. An
    // unreadable file gets a record with an empty body; an empty directory
    // gives an empty package. A package larger than maxSize bytes is refused
    // before any file is read. Does not touch the loaded entries.
    WrapResult wrap(const QString &dirPath, const QString &ejpFile, qint64 maxSize = MaxPackageSize) const;

    // One record of a package as it was read.
    struct Record {
        // Where its length fields start in the package.
        qint64 offset = 0;
        // The deciphered name and body; nothing where deciphering failed.
        std::optional<QByteArray> name;
        std::optional<QByteArray> body;
    };

    // Every complete record of package in file order, each deciphered on its
    // own. end, when given, gets the offset where reading stopped: the size of
    // the package unless its last record is cut short.
    QVector<Record> records(const QByteArray &package, qint64 *end = nullptr) const;

    // The bytes of a package file, or nothing when it cannot be read whole
    // (missing, a device or pipe, or larger than MaxPackageSize).
    static std::optional<QByteArray> readFile(const QString &path);

    // Adds the entries of the package file ejpFile to the loaded ones; a file
    // that cannot be read loads nothing. Reports nothing.
    void load(const QString &ejpFile);

    // Adds the entries of the package bytes to the loaded ones. Reading stops
    // at the first record whose lengths reach past the end. An entry of an
    // earlier name is replaced, except that a record that fails to decipher
    // (stored with an empty name and/or body) never replaces an entry that
    // deciphered well.
    void loadData(const QByteArray &package);

    // Whether an entry of exactly this name (case-sensitive) is loaded.
    bool contains(const QString &name) const;

    // The body of the entry name, empty when there is none.
    QByteArray data(const QString &name) const;

    // Every loaded entry, by name.
    const QMap<QString, QByteArray> &entries() const { return m_entries; }

private:
    void store(const QString &name, const QByteArray &body, bool intact);

    PayloadCipher m_cipher;
    QMap<QString, QByteArray> m_entries;
    QSet<QString> m_intactNames;
};
