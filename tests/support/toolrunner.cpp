#include "toolrunner.h"

#include <QFile>
#include <QProcess>

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
