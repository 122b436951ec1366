#pragma once

#include "ejpwrapper.h"

#include <QString>
#include <QStringList>

#include <cstdio>

/// tressil-package: packs, lists, extracts and verifies EJP packages with the host's
/// own package code.
class PackageTool
{
public:
    static constexpr int ExitOk = 0;
    static constexpr int ExitProblem = 1; ///< the package or its files are not as they should be
    static constexpr int ExitUsage = 2;

    /// Output goes to `out`, one-line messages to `err`; in both, the control, separator
    /// and bidirectional characters that printable() escapes are escaped wherever they come
    /// from (a path given on the command line, a link's target).
    PackageTool(FILE *out, FILE *err);

    /// Runs the command line after the program name; returns the exit status.
    int run(const QStringList &arguments);

    static QString usage();

    /// An entry name for messages: C0 controls, DEL, the backslash and bytes that are not
    /// valid UTF-8 as \xHH; C1 controls, line and paragraph separators and bidirectional
    /// marks, embeddings, overrides and isolates (U+061C, U+200E, U+200F, U+2028 to
    /// U+202E, U+2066 to U+2069) as \uHHHH; so no name can forge a line of output or
    /// show itself reordered.
    static QString printable(const QByteArray &name);

private:
    int pack(const QString &folder, const QString &package);
    int list(const QString &package);
    int extract(const QString &package, const QString &folder);
    int verify(const QString &package);

    /// The records of `package`; reports and returns false when it cannot be read.
    bool readRecords(const QString &package, QVector<EJPWrapper::Record> &records, qint64 &end, qint64 &size);
    /// What is wrong with a record as read, or "".
    static QString recordProblem(const EJPWrapper::Record &record);
    static QString recordLabel(int index, const EJPWrapper::Record &record);

    void print(const QString &line);
    void report(const QString &line);

    FILE *m_out;
    FILE *m_err;
    EJPWrapper m_wrapper;
};
