#include "scriptliteral.h"

QString ScriptLiteral::quote(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : text) {
        const ushort u = c.unicode();
        switch (u) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\'':
            out += QLatin1String("\\'");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            // Other control characters and the two Unicode line terminators would end or
            // corrupt the literal; \u escapes keep them as data.
            if (u < 0x20 || u == 0x7f || u == 0x2028 || u == 0x2029)
                out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('\'');
    return out;
}

QString ScriptLiteral::array(const QStringList &texts)
{
    QStringList quoted;
    quoted.reserve(texts.size());
    for (const QString &text : texts)
        quoted << quote(text);
    return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
}
