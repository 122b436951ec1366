#include "helptext.h"

namespace {

// A description column further right than this leaves too little room for its text.
constexpr int kFarestColumn = 40;

} // namespace

int HelpText::indentOf(const QByteArray &line)
{
    int indent = 0;
    while (indent < line.size() && line[indent] == ' ')
        ++indent;
    return indent;
}

int HelpText::hangOf(const QByteArray &line)
{
    const int indent = indentOf(line);
    const int gap = line.indexOf("  ", indent);
    if (gap < 0)
        return indent;
    const int column = indentOf(line.mid(gap)) + gap;
    return column <= kFarestColumn ? column : indent + 4;
}

bool HelpText::split(const QByteArray &line, int minimum, QByteArray *head, QByteArray *tail)
{
    int at = line.lastIndexOf(' ', kWidth);
    while (at > minimum && line[at - 1] == ' ')
        --at;
    if (at <= minimum)
        return false;
    *head = line.left(at);
    *tail = line.mid(at).trimmed();
    return true;
}

QByteArray HelpText::wrapLine(const QByteArray &line, int hang)
{
    QByteArray head, tail;
    if (line.size() <= kWidth || !split(line, indentOf(line), &head, &tail))
        return line;
    return head + '\n' + wrapLine(QByteArray(hang, ' ') + tail, hang);
}

QByteArray HelpText::wrap(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    QByteArray out;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        QByteArray head, tail;
        if (line.size() <= kWidth || !split(line, indentOf(line), &head, &tail)) {
            out += line + (i + 1 < lines.size() ? "\n" : "");
            continue;
        }
        const int hang = hangOf(line);
        // A line that ends a sentence may end its paragraph: the rest gets a line of its own.
        const bool joins = i + 1 < lines.size() && !line.endsWith('.') && !lines[i + 1].trimmed().isEmpty()
                && indentOf(lines[i + 1]) == hang && hangOf(lines[i + 1]) == hang;
        if (joins)
            lines[i + 1] = QByteArray(hang, ' ') + tail + ' ' + lines[i + 1].mid(hang);
        else
            lines.insert(i + 1, QByteArray(hang, ' ') + tail);
        out += head + '\n';
    }
    return out;
}
