#pragma once

#include <QByteArray>
#include <QString>

/// The two conversions between script text and file or process bytes that the native
/// services share.
class ScriptText
{
public:
    /// The Latin-1 bytes of `text` up to its first NUL character; characters above U+00FF
    /// become "?".
    static QByteArray toLatin1(const QString &text);
    /// `bytes` up to the first zero byte, decoded as UTF-8 (invalid sequences become U+FFFD).
    static QString fromRawBytes(const QByteArray &bytes);
};
