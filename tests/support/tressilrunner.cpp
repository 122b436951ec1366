#include "tressilrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

QStringList TressilRun::lines() const
{
    QStringList result = QString::fromUtf8(out).split(QLatin1Char('\n'));
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

TressilRunner::TressilRunner(const QString &programName)
{
    program = dir.filePath(programName);
    QFile::copy(QStringLiteral(TRESSIL_BIN_DIR "/tressil"), program);
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
}

bool TressilRunner::isValid() const
{
    return dir.isValid() && QFileInfo(program).isExecutable();
}

QString TressilRunner::directory() const
{
    return dir.path();
}

QString TressilRunner::programPath() const
{
    return program;
}

void TressilRunner::writeAppFile(const QString &relativePath, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("app/") + relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void TressilRunner::writeApplication(const QByteArray &script)
{
    writeAppFile(QStringLiteral("application.js"), script);
}

TressilRun TressilRunner::run(const QStringList &arguments, int timeoutMs, const QString &workingDirectory) const
{
    return run(arguments, timeoutMs, workingDirectory, QProcessEnvironment::systemEnvironment());
}

TressilRun TressilRunner::run(const QStringList &arguments, int timeoutMs, const QString &workingDirectory,
                              const QProcessEnvironment &environment) const
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory.isEmpty() ? dir.path() : workingDirectory);
    process.start(program, arguments);
    TressilRun result;
    if (!process.waitForStarted())
        return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.crashed = result.finished && process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
