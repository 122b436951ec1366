#pragma once

#include <QString>

/// Whole-file reads and writes: each call opens, uses and closes the file. Text mode
/// throughout, so line ends are the platform's (LF here).
class WholeFile
{
public:
    /// The whole file as raw-bytes text; "" when it cannot be opened.
    static QString read(const QString &path);
    /// Creates or truncates `path` and writes the Latin-1 form of `content` up to its first
    /// NUL. Nothing happens when the file cannot be opened.
    static void write(const QString &path, const QString &content);
    /// As `write`, appending (the file is created when missing).
    static void append(const QString &path, const QString &content);
    /// Creates `path` or truncates it to zero length; whether the open succeeded.
    static bool create(const QString &path);
};
