// One command of the lumatrace tool. Each command lives in its own source file and
// is listed once in the command table of main.cpp.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

struct ToolCommand {
    const char *name; // "generate"
    const char *synopsis; // "generate PARAMS.json"
    const char *summary; // one line for the command list
    const char *help; // full description of the command and its options
    // Runs the command with the arguments after its name; returns the exit status.
    int (*run)(const QStringList &args);
};

// Exit statuses shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the work itself failed (e.g. a file could not be written)
constexpr int kExitBadInput = 2; // bad usage, unreadable or invalid input, grid too large

// Writes "lumatrace: " + message + newline to standard error.
void printError(const QString &message);

// Writes bytes to standard output and flushes it. When any of that fails (a full disk,
// a closed pipe) prints "lumatrace: cannot write to standard output: REASON" and returns false.
bool writeStandardOutput(const QByteArray &bytes);

// Reads PATH ("-" = standard input) as a JSON object into a parameter map. On failure
// prints "lumatrace: PATH: problem" to standard error and returns false.
bool loadParameterMapOrReport(const QString &path, QVariantMap *out);

// The commands (one definition per source file).
extern const ToolCommand kGenerateCommand;
extern const ToolCommand kExportCommand;
extern const ToolCommand kBatchCommand;
extern const ToolCommand kParamsCommand;
