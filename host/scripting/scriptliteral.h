#pragma once

#include <QString>
#include <QStringList>

/// Turns native text into script source that evaluates back to exactly that text.
class ScriptLiteral
{
public:
    /// A single-quoted script string literal of `text`: backslashes, quotes, line
    /// terminators (including U+2028 and U+2029) and other control characters escaped.
    static QString quote(const QString &text);

    /// A script array literal of quoted strings.
    static QString array(const QStringList &texts);
};
