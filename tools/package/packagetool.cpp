#include "packagetool.h"

#include "extractiontarget.h"

#include <QFileInfo>
#include <QHash>
#include <QTextCodec>

namespace {

bool isValidUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

QString hexByte(uchar byte)
{
    return QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

// Characters that would change what a terminal shows rather than show
// themselves: C0 and C1 controls, DEL, line and paragraph separators and the
// bidirectional marks, embeddings, overrides and isolates (U+202E turns
// "a\u202Etxt.exe" into "aexe.txt" on screen).
bool isUnshowable(ushort code)
{
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F
            || (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

QString escapedCharacter(ushort code)
{
    if (code < 0x80)
        return hexByte(uchar(code));
    return QStringLiteral("\\u") + QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// line with every unshowable character escaped, so that no part of a message
// (a path as given, a reason from the system) can forge or hide output.
QString showable(const QString &line)
{
    QString text;
    text.reserve(line.size());
    for (const QChar c : line)
        text += isUnshowable(c.unicode()) ? escapedCharacter(c.unicode()) : QString(c);
    return text;
}

} // namespace

PackageTool::PackageTool(FILE *out, FILE *err)
    : m_out(out)
    , m_err(err)
{ }

int PackageTool::run(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(usage().toLocal8Bit().constData(), m_out);
        return ExitOk;
    }
    const int count = arguments.size() - 1;
    if (command == QLatin1String("pack") && count == 2)
        return pack(arguments.at(1), arguments.at(2));
    if (command == QLatin1String("list") && count == 1)
        return list(arguments.at(1));
    if (command == QLatin1String("extract") && count == 2)
        return extract(arguments.at(1), arguments.at(2));
    if (command == QLatin1String("verify") && count == 1)
        return verify(arguments.at(1));
    report(command.isEmpty() ? QStringLiteral("no command (see tressil-package --help)")
                             : QStringLiteral("bad usage of '%1' (see tressil-package --help)").arg(command));
    return ExitUsage;
}

QString PackageTool::usage()
{
    return QStringLiteral("Usage: tressil-package pack DIR OUT.ejp      pack every visible file below DIR\n"
                          "       tressil-package list FILE.ejp         sizes and names of the records\n"
                          "       tressil-package extract FILE.ejp DIR  write the entries below DIR\n"
                          "       tressil-package verify FILE.ejp       check that every record deciphers\n"
                          "\n"
                          "Packages are the ones tressil runs (tressil --package FILE.ejp) and page\n"
                          "script writes with ovex.wrapEJP. extract never writes outside DIR: names\n"
                          "with '.' or '..' parts, empty parts or without a leading '/' are refused;\n"
                          "of entries with the same name the later one is kept, as tressil does.\n"
                          "\n"
                          "Exit status: 0 success, 1 a problem with the package or the files, 2 bad usage.\n");
}

QString PackageTool::printable(const QByteArray &name)
{
    QString text;
    if (!isValidUtf8(name)) {
        for (const char c : name) {
            const auto byte = uchar(c);
            text += byte >= 0x20 && byte < 0x7F && byte != '\\' ? QString(QLatin1Char(c)) : hexByte(byte);
        }
        return text;
    }
    for (const QChar c : QString::fromUtf8(name.constData(), name.size())) {
        const ushort code = c.unicode();
        text += isUnshowable(code) || code == '\\' ? escapedCharacter(code) : QString(c);
    }
    return text;
}

int PackageTool::pack(const QString &folder, const QString &package)
{
    if (!QFileInfo(folder).isDir()) {
        report(folder + QStringLiteral(": no such folder"));
        return ExitProblem;
    }
    const EJPWrapper::WrapResult result = m_wrapper.wrap(folder, package);
    for (const QString &name : result.skipped)
        report(QStringLiteral("left out %1%2: the name is not valid UTF-8").arg(folder, name));
    for (const EJPWrapper::WrapResult::LeftOut &entry : result.leftOut)
        report(QStringLiteral("left out %1%2: %3").arg(folder, printable(entry.name.toUtf8()), entry.reason));
    for (const QString &name : result.unreadable)
        report(QStringLiteral("%1%2 could not be read; packed empty").arg(folder, printable(name.toUtf8())));
    if (!result.written)
        report(result.error);
    return result.complete() ? ExitOk : ExitProblem;
}

int PackageTool::list(const QString &package)
{
    QVector<EJPWrapper::Record> records;
    qint64 end = 0;
    qint64 size = 0;
    if (!readRecords(package, records, end, size))
        return ExitProblem;
    bool intact = end == size;
    for (int i = 0; i < records.size(); ++i) {
        const EJPWrapper::Record &record = records.at(i);
        const QString problem = recordProblem(record);
        if (!problem.isEmpty()) {
            report(QStringLiteral("%1: %2: %3").arg(package, recordLabel(i, record), problem));
            intact = false;
            continue;
        }
        print(QStringLiteral("%1  %2").arg(record.body->size(), 10).arg(printable(*record.name)));
    }
    if (end != size)
        report(QStringLiteral("%1: record %2 at byte %3 is cut short").arg(package).arg(records.size() + 1).arg(end));
    return intact ? ExitOk : ExitProblem;
}

int PackageTool::extract(const QString &package, const QString &folder)
{
    QVector<EJPWrapper::Record> records;
    qint64 end = 0;
    qint64 size = 0;
    if (!readRecords(package, records, end, size))
        return ExitProblem;
    const ExtractionTarget target(folder);
    const QString folderProblem = target.prepare();
    if (!folderProblem.isEmpty()) {
        report(folderProblem);
        return ExitProblem;
    }
    bool clean = end == size;
    QHash<QString, int> extracted; // name -> record index
    for (int i = 0; i < records.size(); ++i) {
        const EJPWrapper::Record &record = records.at(i);
        const QString label = QStringLiteral("%1: %2").arg(package, recordLabel(i, record));
        QString problem = recordProblem(record);
        if (problem.isEmpty()) {
            // With its size: a NUL inside must reach the name check, not end the name.
            const QString name = QString::fromUtf8(record.name->constData(), record.name->size());
            problem = ExtractionTarget::nameProblem(name);
            if (!problem.isEmpty())
                problem = QStringLiteral("name '%1' refused: %2").arg(printable(*record.name), problem);
            else if (extracted.contains(name))
                report(QStringLiteral("%1: name '%2' repeats record %3; the later entry is kept")
                               .arg(label, printable(*record.name))
                               .arg(extracted.value(name) + 1));
            if (problem.isEmpty())
                problem = target.write(name, *record.body);
            if (problem.isEmpty())
                extracted.insert(name, i);
        }
        if (!problem.isEmpty()) {
            report(label + QStringLiteral(": ") + problem);
            clean = false;
        }
    }
    if (end != size)
        report(QStringLiteral("%1: record %2 at byte %3 is cut short").arg(package).arg(records.size() + 1).arg(end));
    const bool repeated = extracted.size() != records.size();
    return clean && !repeated ? ExitOk : ExitProblem;
}

int PackageTool::verify(const QString &package)
{
    QVector<EJPWrapper::Record> records;
    qint64 end = 0;
    qint64 size = 0;
    if (!readRecords(package, records, end, size))
        return ExitProblem;
    for (int i = 0; i < records.size(); ++i) {
        const QString problem = recordProblem(records.at(i));
        if (!problem.isEmpty()) {
            report(QStringLiteral("%1: %2: %3").arg(package, recordLabel(i, records.at(i)), problem));
            return ExitProblem;
        }
    }
    if (end != size) {
        report(QStringLiteral("%1: record %2 at byte %3: cut short, the package ends at byte %4")
                       .arg(package)
                       .arg(records.size() + 1)
                       .arg(end)
                       .arg(size));
        return ExitProblem;
    }
    print(QStringLiteral("%1: %2 records, all intact").arg(package).arg(records.size()));
    return ExitOk;
}

bool PackageTool::readRecords(const QString &package, QVector<EJPWrapper::Record> &records, qint64 &end, qint64 &size)
{
    QString problem;
    const std::optional<QByteArray> bytes = EJPWrapper::readFile(package, &problem);
    if (!bytes) {
        report(package + QStringLiteral(": cannot read the package: ") + problem);
        return false;
    }
    size = bytes->size();
    records = m_wrapper.records(*bytes, &end);
    return true;
}

QString PackageTool::recordProblem(const EJPWrapper::Record &record)
{
    if (!record.name)
        return QStringLiteral("the name does not decipher");
    if (!record.body)
        return QStringLiteral("the body of '%1' does not decipher").arg(printable(*record.name));
    if (!isValidUtf8(*record.name))
        return QStringLiteral("the name '%1' is not valid UTF-8").arg(printable(*record.name));
    return QString();
}

QString PackageTool::recordLabel(int index, const EJPWrapper::Record &record)
{
    return QStringLiteral("record %1 at byte %2").arg(index + 1).arg(record.offset);
}

void PackageTool::print(const QString &line)
{
    const QByteArray bytes = showable(line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
}

void PackageTool::report(const QString &line)
{
    const QByteArray bytes = "tressil-package: " + showable(line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_err);
}
