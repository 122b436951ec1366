// lumatrace batch PARAMS.json OUT_PATTERN --seeds LIST [export options] [--jobs N]
// [--contact-sheet SHEET.png]: one export per seed, each exactly what `lumatrace export`
// writes for the map with that seed.
#include "toolcommand.h"

#include "contactsheet.h"
#include "exportwriter.h"
#include "seedlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

const char kUsage[] = "usage: lumatrace batch PARAMS.json OUT_PATTERN --seeds LIST [--scale PERCENT | --paper NAME\n"
                      "                | --size WxH(mm|in)] [--landscape] [--dpi DPI] [--separate] [--artwork]\n"
                      "                [--no-background] [--jobs N] [--contact-sheet SHEET.png]";
const QString kSeedField = QStringLiteral("{seed}");

struct BatchRequest {
    QString parameters;
    QString pattern;
    QString seeds;
    int jobs = QThread::idealThreadCount();
    QString contactSheet;
    QStringList exportOptions; // handed to every export as they are
};

bool parseArguments(const QStringList &args, BatchRequest *request)
{
    static const QStringList exportFlags = {"--separate", "--landscape", "--artwork", "--no-background"};
    static const QStringList exportValues = {"--scale", "--paper", "--size", "--dpi"};
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (exportFlags.contains(arg)) {
            request->exportOptions << arg;
        } else if (exportValues.contains(arg) && hasValue) {
            request->exportOptions << arg << args.at(++i);
        } else if (arg == QLatin1String("--seeds") && hasValue) {
            request->seeds = args.at(++i);
        } else if (arg == QLatin1String("--contact-sheet") && hasValue) {
            request->contactSheet = args.at(++i);
        } else if (arg == QLatin1String("--jobs") && hasValue) {
            bool ok = false;
            request->jobs = args.at(++i).toInt(&ok);
            if (!ok || request->jobs < 1 || request->jobs > 256)
                return false;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return false;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 2 || request->seeds.isNull())
        return false;
    request->parameters = positional.at(0);
    request->pattern = positional.at(1);
    return true;
}

QString fileFor(const QString &pattern, int seed)
{
    return QString(pattern).replace(kSeedField, QString::number(seed));
}

// Every folder the pattern writes into must exist and take files.
bool foldersWritable(const QString &pattern, const QVector<int> &seeds, QString *folder)
{
    QStringList checked;
    for (int seed : seeds) {
        const QFileInfo info(QFileInfo(fileFor(pattern, seed)).absolutePath());
        if (checked.contains(info.filePath()))
            continue;
        checked << info.filePath();
        if (!info.isDir() || !info.isWritable()) {
            *folder = info.filePath();
            return false;
        }
    }
    return true;
}

struct SeedRun {
    int seed = 0;
    int exitCode = -1;
    QByteArray message;
};

// Runs the exports, at most `jobs` at once, each in a process of its own: the generator's
// random streams belong to a process, and separate processes make every file independent
// of how many run at once.
QVector<SeedRun> runExports(const BatchRequest &request, const QVector<int> &seeds)
{
    QVector<SeedRun> runs(seeds.size());
    const bool terminal = isatty(fileno(stderr)) != 0;
    int next = 0, done = 0;
    QEventLoop loop;
    std::function<void()> startNext = [&]() {
        const int index = next++;
        runs[index].seed = seeds[index];
        auto *process = new QProcess(&loop);
        QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                         [&, process, index](int code, QProcess::ExitStatus status) {
                             runs[index].exitCode = status == QProcess::NormalExit ? code : kExitFailure;
                             runs[index].message = process->readAllStandardError().trimmed();
                             process->deleteLater();
                             if (terminal)
                                 printError(QStringLiteral("batch: %1 of %2 done").arg(++done).arg(seeds.size()));
                             else
                                 ++done;
                             if (next < seeds.size())
                                 startNext();
                             else if (done == seeds.size())
                                 loop.quit();
                         });
        process->start(QCoreApplication::applicationFilePath(),
                       QStringList {"export", request.parameters, fileFor(request.pattern, seeds[index]), "--seed",
                                    QString::number(seeds[index])}
                               + request.exportOptions);
    };
    while (next < seeds.size() && next < request.jobs)
        startNext();
    if (!seeds.isEmpty())
        loop.exec();
    return runs;
}

int reportFailures(const QVector<SeedRun> &runs)
{
    int failed = 0;
    for (const SeedRun &run : runs) {
        if (run.exitCode == kExitOk)
            continue;
        ++failed;
        QString message = QString::fromUtf8(run.message);
        message.remove(QStringLiteral("lumatrace: "));
        printError(QStringLiteral("seed %1: %2").arg(run.seed).arg(message.section(QLatin1Char('\n'), 0, 0)));
    }
    if (failed > 0)
        printError(QStringLiteral("%1 of %2 seeds failed").arg(failed).arg(runs.size()));
    return failed;
}

int runBatchCommand(const QStringList &args)
{
    BatchRequest request;
    if (!parseArguments(args, &request) || request.parameters == QLatin1String("-")) {
        printError(QString::fromLatin1(kUsage));
        return kExitBadInput;
    }
    if (!request.pattern.contains(kSeedField)) {
        printError(QStringLiteral("%1: the output pattern has no {seed}").arg(request.pattern));
        return kExitBadInput;
    }
    QVector<int> seeds;
    QString error;
    if (!SeedList::parse(request.seeds, &seeds, &error)) {
        printError(error);
        return kExitBadInput;
    }
    QVariantMap parameters;
    if (!loadParameterMapOrReport(request.parameters, &parameters))
        return kExitBadInput;
    QString folder;
    if (!foldersWritable(request.pattern, seeds, &folder)) {
        printError(QStringLiteral("%1: not a folder that can be written").arg(folder));
        return kExitFailure;
    }
    // The first export alone first: bad options fail it at once, for every seed alike.
    QVector<SeedRun> runs = runExports(request, seeds.mid(0, 1));
    if (runs.first().exitCode == kExitBadInput) {
        std::fprintf(stderr, "%s\n", runs.first().message.constData());
        return kExitBadInput;
    }
    runs += runExports(request, seeds.mid(1));
    const int failed = reportFailures(runs);
    if (!request.contactSheet.isEmpty()) {
        const QByteArray png = ExportWriter::encodePng(ContactSheet::build(parameters, seeds));
        if (ExportWriter::writeFile(request.contactSheet, png) != ExportFile::Error::None) {
            printError(QStringLiteral("%1: cannot write the contact sheet").arg(request.contactSheet));
            return kExitFailure;
        }
    }
    return failed > 0 ? kExitFailure : kExitOk;
}

} // namespace

const ToolCommand kBatchCommand = {
        "batch",
        "batch PARAMS.json OUT_PATTERN --seeds LIST [export options] [--jobs N] [--contact-sheet SHEET.png]",
        "export the artwork once per seed, in parallel, with an optional contact sheet",
        "Exports PARAMS.json once for every seed of LIST, each file exactly what\n"
        "\"lumatrace export PARAMS.json FILE --seed N\" writes with the same options. OUT_PATTERN\n"
        "holds {seed}, which becomes the seed (out/art-{seed}.png gives out/art-7.png); its\n"
        "extension picks the format as in export.\n"
        "  --seeds LIST            seeds and ranges, for example \"1-50, 77, 1000-1010\"\n"
        "  --jobs N                exports at once (default: the number of cores)\n"
        "  --contact-sheet FILE    also a PNG with a labelled thumbnail per seed\n"
        "  --scale, --paper, --size, --landscape, --dpi, --separate, --artwork,\n"
        "  --no-background         as in export, for every file\n"
        "A seed that fails does not stop the others; each failure is reported with its seed.\n"
        "Exit status 2: bad usage, a bad seed list, a pattern without {seed}, an unreadable\n"
        "parameter file (\"-\" is not accepted), or export options export refuses. Exit status\n"
        "1: a folder of the pattern cannot be written, or some seeds failed.",
        runBatchCommand,
};
