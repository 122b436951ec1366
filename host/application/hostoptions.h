#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

/// The host's own command-line options, read before the QApplication exists so that
/// `--help`, `--version` and usage errors need no display.
///
/// Options are read up to the first "--"; everything after it belongs to the application.
/// Before it, Qt's documented options (-platform, -style, -reverse, ...) are left for Qt,
/// other words are application arguments, and any other word that starts with "-" is a
/// usage error.
class HostOptions
{
public:
    enum class Action { Run, Help, Version, UsageError };

    /// Reads `arguments`, the program path first, as the process received them.
    static HostOptions parse(const QStringList &arguments);

    Action action() const { return m_action; }
    /// One line without the program name, for Action::UsageError.
    QString error() const { return m_error; }

    /// The folder of `--app DIR`, empty when not given.
    QString appDirectory() const { return m_appDirectory; }
    /// The file of `--package FILE`, empty when not given.
    QString packageFile() const { return m_packageFile; }
    bool inspect() const { return m_inspect; }
    void setInspect(bool inspect) { m_inspect = inspect; }

    /// Positions in `arguments` that Qt and the application see as before: the program
    /// path, Qt's options and the application's arguments ahead of "--".
    QVector<int> toolkitArguments() const { return m_toolkitArguments; }
    /// The arguments after "--", which Qt never sees.
    QStringList trailingArguments() const { return m_trailingArguments; }

    /// Checks that the folder of `--app` and the package of `--package` exist and hold
    /// an application.js, and makes both absolute. Returns a one-line problem, or "".
    QString checkSources();

    /// Whether a value of the environment variable TRESSIL_INSPECT asks for the
    /// inspector: any but empty and "0".
    static bool inspectRequestedBy(const QByteArray &environmentValue);

    /// The text of `tressil --help`.
    static QString helpText();

private:
    bool readHostOption(const QStringList &arguments, int &index);
    bool takeValue(const QStringList &arguments, int &index, const QString &option, QString &value);
    void fail(const QString &error);

    Action m_action = Action::Run;
    QString m_error;
    QString m_appDirectory;
    QString m_packageFile;
    bool m_inspect = false;
    QVector<int> m_toolkitArguments;
    QStringList m_trailingArguments;
};
