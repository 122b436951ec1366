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
/// Runs `program` with `args` to the end, its output discarded. Its exit status and the
/// peak resident size in KiB that the kernel recorded for it; {-1, -1} when it did not
/// start or end normally.
struct PeakRun {
    int exitCode = -1;
    qint64 peakKilobytes = -1;
};
PeakRun runMeasuringPeak(const QString &program, const QStringList &args);
/// The whole file, or nothing when it cannot be read.
QByteArray fileBytes(const QString &path);
