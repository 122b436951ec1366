// HelpText: the tool's help, broken into lines that fit an 80-column terminal.
#pragma once

#include <QByteArray>
#include <QList>

class HelpText
{
public:
    static constexpr int kWidth = 80;

    // Every line of text at most kWidth wide (a single word wider than that stays whole).
    // A longer line breaks at spaces. Its continuation is indented to the line's
    // description column (the text after a run of two spaces, as in option lists), or
    // four past the line's indent when that column is far right, or to the line's indent
    // for prose; it joins the next line when that line continues at the same indent.
    static QByteArray wrap(const QByteArray &text);

    // One line broken as wrap does, continuation lines indented by `hang` columns.
    static QByteArray wrapLine(const QByteArray &line, int hang);

private:
    static int indentOf(const QByteArray &line);
    static int hangOf(const QByteArray &line);
    // Splits line at the last space that leaves the head within kWidth; false when none.
    static bool split(const QByteArray &line, int minimum, QByteArray *head, QByteArray *tail);
};
