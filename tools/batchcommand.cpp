// lumatrace batch PARAMS.json OUT_PATTERN --seeds LIST [export options] [--jobs N]
// [--contact-sheet SHEET.png]: one export per seed, each exactly what `lumatrace export`
// writes for the map with that seed.
#include "toolcommand.h"

#include "contactsheet.h"
#include "exportjob.h"
#include "paralleltasks.h"
#include "seedlist.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <mutex>
#include <unistd.h>

namespace {

const char kUsage[] = "usage: lumatrace batch PARAMS.json OUT_PATTERN --seeds LIST\n"
                      "                [--scale PERCENT | --paper NAME | --size WxH(mm|in)]\n"
                      "                [--landscape] [--dpi DPI] [--separate] [--artwork]\n"
                      "                [--no-background] [--jobs N]\n"
                      "                [--shard K/N] [--contact-sheet SHEET.png]";
const QString kSeedField = QStringLiteral("{seed}");

struct BatchRequest {
    QString parameters;
    QString pattern;
    QString seeds;
    int jobs = QThread::idealThreadCount();
    QString shard; // "K/N": only the K-th of N parts of the seed list
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
        } else if (arg == QLatin1String("--shard") && hasValue) {
            request->shard = args.at(++i);
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

// Makes the folder when missing, as users expect of out/art-{seed}.png before out exists;
// true when it then takes files.
bool makeWritableFolder(const QString &path)
{
    QDir().mkpath(path);
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

// The first folder of the batch's files (the pattern's for every seed, and the contact
// sheet's) that cannot be made or written; empty when there is none.
QString unwritableFolder(const BatchRequest &request, const QVector<int> &seeds)
{
    QStringList files;
    for (int seed : seeds)
        files << fileFor(request.pattern, seed);
    if (!request.contactSheet.isEmpty())
        files << request.contactSheet;
    QSet<QString> checked;
    for (const QString &file : files) {
        const QString folder = QFileInfo(file).absolutePath();
        if (checked.contains(folder))
            continue;
        checked.insert(folder);
        if (!makeWritableFolder(folder))
            return folder;
    }
    return QString();
}

// The K-th of N contiguous parts of the seeds (K from 1), so that N machines given 1/N to
// N/N write every file exactly once between them.
bool shardOf(const QString &text, QVector<int> *seeds, QString *error)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    bool kOk = false, nOk = false;
    const int k = parts.size() == 2 ? parts[0].trimmed().toInt(&kOk) : 0;
    const int n = parts.size() == 2 ? parts[1].trimmed().toInt(&nOk) : 0;
    if (!kOk || !nOk || n < 1 || k < 1 || k > n) {
        *error = QStringLiteral("--shard %1 is not K/N with 1 <= K <= N").arg(text);
        return false;
    }
    const qint64 count = seeds->size();
    const int first = int(count * (k - 1) / n);
    *seeds = seeds->mid(first, int(count * k / n) - first);
    return true;
}

// Every export of a batch allocates and frees images of the same sizes. By default the
// allocator hands them back to the system and each seed faults them in again (55,000 page
// faults in 40 seeds of a 600 × 600 map, against 4,700 kept); kept, they are reused. Images
// beyond 64 MB (posters) are still mapped and returned one by one.
void keepFreedImages()
{
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

struct SeedRun {
    int seed = 0;
    ExportJob::Outcome outcome;
};

// Runs the exports on `jobs` worker threads in this process. Each export has a generator,
// random streams and renderer of its own, so every file is what a single export writes.
QVector<SeedRun> runExports(const ExportJob &job, const BatchRequest &request, const QVariantMap &parameters,
                            const QVector<int> &seeds)
{
    QVector<SeedRun> runs(seeds.size());
    const bool terminal = isatty(fileno(stderr)) != 0;
    const int jobs = std::max(1, std::min(request.jobs, int(seeds.size())));
    const int cores = QThread::idealThreadCount();
    std::mutex reporting;
    int done = 0;
    ParallelTasks::run(int(seeds.size()), jobs, [&](int index, int) {
        // The cores are shared out among the exports running at once. The last exports
        // take them all: the other workers run out of seeds while these are drawn, and
        // leave their cores to them (the pixels do not depend on the threads).
        ExportJob::Hooks hooks;
        hooks.renderThreads = index >= int(seeds.size()) - (jobs - 1) ? cores : std::max(1, cores / jobs);
        QVariantMap map = parameters;
        map.insert(QStringLiteral("seed"), seeds[index]);
        runs[index] = {seeds[index], job.run(map, fileFor(request.pattern, seeds[index]), hooks)};
        const std::lock_guard<std::mutex> lock(reporting);
        ++done;
        if (terminal)
            printError(QStringLiteral("batch: %1 of %2 done").arg(done).arg(seeds.size()));
    });
    return runs;
}

int reportFailures(const QVector<SeedRun> &runs)
{
    int failed = 0;
    for (const SeedRun &run : runs) {
        if (run.outcome.exitCode == kExitOk)
            continue;
        ++failed;
        printError(
                QStringLiteral("seed %1: %2").arg(run.seed).arg(run.outcome.message.section(QLatin1Char('\n'), 0, 0)));
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
    if (!SeedList::parse(request.seeds, &seeds, &error)
        || (!request.shard.isEmpty() && !shardOf(request.shard, &seeds, &error))) {
        printError(error);
        return kExitBadInput;
    }
    QVariantMap parameters;
    if (!loadParameterMapOrReport(request.parameters, &parameters))
        return kExitBadInput;
    // A part of a shard can be empty when there are more parts than seeds.
    if (seeds.isEmpty())
        return kExitOk;
    ExportJob job;
    ExportJob::Outcome refusal;
    if (!job.parse(QStringList {request.parameters, request.pattern} + request.exportOptions, &refusal)) {
        printError(refusal.message);
        return refusal.exitCode;
    }
    // Folders are made only for a request that will run.
    const QString folder = unwritableFolder(request, seeds);
    if (!folder.isEmpty()) {
        printError(QStringLiteral("%1: not a folder that can be made or written").arg(folder));
        return kExitFailure;
    }
    keepFreedImages();
    // The first export alone first: a map the generator refuses fails it at once, for every
    // seed alike.
    QVector<SeedRun> runs = runExports(job, request, parameters, seeds.mid(0, 1));
    if (runs.first().outcome.exitCode == kExitBadInput) {
        printError(runs.first().outcome.message);
        return kExitBadInput;
    }
    runs += runExports(job, request, parameters, seeds.mid(1));
    const int failed = reportFailures(runs);
    if (!request.contactSheet.isEmpty()) {
        if (ContactSheet(parameters, seeds).write(request.contactSheet) != ExportFile::Error::None) {
            printError(QStringLiteral("%1: cannot write the contact sheet").arg(request.contactSheet));
            return kExitFailure;
        }
    }
    return failed > 0 ? kExitFailure : kExitOk;
}

} // namespace

const ToolCommand kBatchCommand = {
        "batch",
        "batch PARAMS.json OUT_PATTERN --seeds LIST [export options] [--jobs N] [--shard K/N] "
        "[--contact-sheet SHEET.png]",
        "export the artwork once per seed, in parallel, with an optional contact sheet",
        "Exports PARAMS.json once for every seed of LIST, each file exactly what\n"
        "\"lumatrace export PARAMS.json FILE --seed N\" writes with the same options. OUT_PATTERN\n"
        "holds {seed}, which becomes the seed (out/art-{seed}.png gives out/art-7.png); its\n"
        "extension picks the format as in export.\n"
        "  --seeds LIST            seeds and ranges, for example \"1-50, 77, 1000-1010\"\n"
        "  --jobs N                exports at once, on threads of this one process (default: the\n"
        "                          number of cores)\n"
        "  --shard K/N             only the K-th of N equal runs of consecutive seeds of LIST, so\n"
        "                          that N machines or job slots (a cluster array job, GNU parallel\n"
        "                          over hosts) given 1/N .. N/N write every file once between them;\n"
        "                          the contact sheet then shows this part\n"
        "  --contact-sheet FILE    also a PNG with a labelled thumbnail per seed\n"
        "  --scale, --paper, --size, --landscape, --dpi, --separate, --artwork,\n"
        "  --no-background         as in export, for every file\n"
        "A seed that fails does not stop the others; each failure is reported with its seed.\n"
        "Exit status 2: bad usage, a bad seed list or shard, a pattern without {seed}, an unreadable\n"
        "parameter file (\"-\" is not accepted), or export options export refuses. Exit status\n"
        "1: a folder of the pattern cannot be made or written, or some seeds failed.",
        runBatchCommand,
};
