#include "toolrunner.h"

#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

ToolRun runProgram(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(10000) || !process.waitForFinished(240000))
        return {};
    const bool normal = process.exitStatus() == QProcess::NormalExit;
    return {normal ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

ToolRun runLumatrace(const QStringList &args)
{
    return runProgram(QStringLiteral(TRESSIL_BIN_DIR "/lumatrace"), args);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PeakRun runMeasuringPeak(const QString &program, const QStringList &args)
{
    // wait4 reports the resources of this one child; QProcess reaps its children itself.
    QList<QByteArray> words {QFile::encodeName(program)};
    for (const QString &arg : args)
        words << arg.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage {};
    if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status))
        return {};
    return {WEXITSTATUS(status), qint64(usage.ru_maxrss)};
}
