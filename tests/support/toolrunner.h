#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// What one run of a command-line program gave.
struct ToolRun {
    int exitCode = -1; ///< -1 when it did not start, crashed or ran past its time limit
    QByteArray out;
    QByteArray err;
};

/// Runs `program` with `args` to the end (at most four minutes).
ToolRun runProgram(const QString &program, const QStringList &args);
/// Runs the built lumatrace tool.
ToolRun runLumatrace(const QStringList &args);
/// The whole file, or nothing when it cannot be read.
QByteArray fileBytes(const QString &path);
