#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

/// What one run of the real tressil program gave.
struct TressilRun {
    bool finished = false; ///< false when the run was killed at its time limit
    bool crashed = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    /// Standard output split into lines (without line feeds).
    QStringList lines() const;
};

/// Runs a copy of the built tressil program with a temporary "app" folder beside it, the
/// way a user installs an application.
class TressilRunner
{
public:
    /// `programName` names the copy (the package it looks for follows from it).
    explicit TressilRunner(const QString &programName = QStringLiteral("tressil"));

    bool isValid() const;
    QString directory() const;
    QString programPath() const;

    /// Writes a file under the app folder (creating folders as needed).
    void writeAppFile(const QString &relativePath, const QByteArray &content);
    void writeApplication(const QByteArray &script);

    /// Runs the program with `arguments` in `workingDirectory` (default: its own folder).
    TressilRun run(const QStringList &arguments = {}, int timeoutMs = 30000,
                   const QString &workingDirectory = QString()) const;
    /// The same, with `environment` in place of the test's own.
    TressilRun run(const QStringList &arguments, int timeoutMs, const QString &workingDirectory,
                   const QProcessEnvironment &environment) const;

private:
    QTemporaryDir dir;
    QString program;
};
