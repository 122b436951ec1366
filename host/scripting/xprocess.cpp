#include "xprocess.h"

#include "scriptliteral.h"
#include "scripttext.h"

#include <QTimer>

XProcess::XProcess(QObject *parent)
    : QProcess(parent)
{ }

XProcess::~XProcess()
{
    // The owner is going away: no callbacks and no error box for the forced end.
    disconnect(this, nullptr, this, nullptr);
    if (state() != QProcess::NotRunning) {
        kill();
        waitForFinished();
    }
}

void XProcess::start(const QString &commandLine, const QString &finishId, const QString &processId,
                     const QString &errorId)
{
    setProcessChannelMode(QProcess::MergedChannels);
    cidFinish = finishId;
    cidProcess = processId;
    cidError = errorId;
    connect(this, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, &XProcess::_execFinished);
    connect(this, &QProcess::errorOccurred, this, &XProcess::_execError);
    connect(this, &QProcess::readyReadStandardOutput, this, &XProcess::_execProcess);

    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty()) {
        // QProcess reports an empty program at once, inside start(); the error box and
        // callback must not run before the caller has its id.
        QTimer::singleShot(0, this, [this] { _execError(QProcess::FailedToStart); });
        return;
    }
    const QString program = arguments.takeFirst();
    QProcess::start(program, arguments, QIODevice::ReadWrite);
}

QString XProcess::commandLine(const QVariant &command, CommandEncoding encoding)
{
    // A list has no byte form: toByteArray gives nothing for it.
    QByteArray bytes = command.toByteArray();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return encoding == CommandEncoding::Utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

QString XProcess::outputText(const QByteArray &output)
{
    return ScriptText::fromRawBytes(output).replace(QLatin1Char('\r'), QLatin1Char(' '));
}

void XProcess::_execFinished(int, QProcess::ExitStatus)
{
    callScript("_OVEX.callCallback", {cidFinish, outputText(readAllStandardOutput())});
    callScript("_OVEX.removeCallback", {cidProcess});
    callScript("_OVEX.removeCallback", {cidError});
}

void XProcess::_execProcess()
{
    callScript("_OVEX.callCallbackDontRemove", {cidProcess, outputText(readAllStandardOutput())});
}

void XProcess::_execError(QProcess::ProcessError a)
{
    Q_EMIT alertReady(QString::number(static_cast<int>(a)));
    callScript("_OVEX.callCallback", {cidError});
    callScript("_OVEX.removeCallback", {cidProcess});
    callScript("_OVEX.removeCallback", {cidFinish});
}

void XProcess::callScript(const char *function, const QStringList &arguments)
{
    // Every argument, the ids included, goes in as a full script literal: the output is
    // arbitrary text and must arrive as data, never as code.
    QStringList quoted;
    for (const QString &argument : arguments)
        quoted << ScriptLiteral::quote(argument);
    Q_EMIT scriptReady(QLatin1String(function) + QLatin1Char('(') + quoted.join(QStringLiteral(", "))
                       + QStringLiteral(");"));
}
