#include "scripttext.h"

QByteArray ScriptText::toLatin1(const QString &text)
{
    const int nul = text.indexOf(QChar(0));
    return (nul < 0 ? text : text.left(nul)).toLatin1();
}

QString ScriptText::fromRawBytes(const QByteArray &bytes)
{
    const int zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
}
