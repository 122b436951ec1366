#pragma once

#include <QString>
#include <QStringList>

class QWidget;

/// The modal dialogs page script can open. Each blocks in its own modal loop until the user
/// answers; a cancelled dialog gives "" or an empty list.
class ScriptDialogs
{
public:
    /// Question box without parent, buttons `yes` (first, default) and `no`; true only for
    /// `yes`.
    static bool confirm(const QString &text, const QString &title, const QString &yes, const QString &no);
    /// Information box without parent and one acknowledgement button.
    static void info(const QString &text, const QString &title);
    /// Input dialog by `type` (case-sensitive): "int" (0 to 10000000, the default read as a
    /// decimal integer, 0 when it is not one), "double" (0 to 10000000, 5 decimals, the
    /// result in general notation with at most 6 significant digits), "textarea"
    /// (multi-line), "password" (masked) or anything else (single line).
    static QString prompt(QWidget *parent, const QString &text, const QString &title, const QString &defaultValue,
                          const QString &type);
    /// Choosers; an empty `path` starts in the current directory, `fileTypes` are filters
    /// separated by ";;".
    static QString openFile(QWidget *parent, const QString &title, const QString &fileTypes, const QString &path);
    static QString openNewFile(QWidget *parent, const QString &title, const QString &fileTypes, const QString &path);
    static QStringList openFiles(QWidget *parent, const QString &title, const QString &fileTypes, const QString &path);
    static QString openDir(QWidget *parent, const QString &title, const QString &path);

    /// The text a number prompt returns for `value`.
    static QString doubleText(double value);
};
