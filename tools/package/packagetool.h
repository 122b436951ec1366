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

    /// Output goes to `out`, one-line messages to `err`.
    PackageTool(FILE *out, FILE *err);

    /// Runs the command line after the program name; returns the exit status.
    int run(const QStringList &arguments);

    static QString usage();

    /// An entry name for messages: control characters, the backslash and bytes that are
    /// not valid UTF-8 as \xHH, so no name can forge a line of output.
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
