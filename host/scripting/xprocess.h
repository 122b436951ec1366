#pragma once

#include <QProcess>
#include <QString>
#include <QVariant>

/// A child process watched for page script: its output, its end and its failure are
/// reported to the three callback ids the glue library registered, as script handed out
/// through `scriptReady` (and a failure's code through `alertReady`) for the owner to run.
class XProcess : public QProcess
{
    Q_OBJECT

public:
    enum class CommandEncoding { Utf8, Latin1 };

    explicit XProcess(QObject *parent);
    /// Kills a process still running without reporting anything.
    ~XProcess() override;

    /// Merges standard error into standard output, stores the callback ids and starts the
    /// command line, split by the toolkit's single-string rules. A failure to start is
    /// reported later through the error callback, never inside this call.
    void start(const QString &commandLine, const QString &finishId, const QString &processId, const QString &errorId);

    /// The command line held in a script value: its bytes (a string's UTF-8, a number's
    /// decimal text, nothing for a list) up to the first zero byte, decoded by `encoding`.
    static QString commandLine(const QVariant &command, CommandEncoding encoding);
    /// Process output as script receives it: raw-bytes text with every carriage return
    /// turned into a blank.
    static QString outputText(const QByteArray &output);

Q_SIGNALS:
    /// Script calling the glue library's callbacks, to be evaluated in the main frame.
    void scriptReady(const QString &script);
    /// The process error code as text, shown before the error callback runs.
    void alertReady(const QString &text);

private Q_SLOTS:
    void _execFinished(int a, QProcess::ExitStatus b);
    void _execProcess();
    void _execError(QProcess::ProcessError a);

private:
    // Evaluates a call of the glue library's `function` with the quoted arguments.
    void callScript(const char *function, const QStringList &arguments);

    QString cidFinish;
    QString cidProcess;
    QString cidError;
};
