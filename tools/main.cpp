// lumatrace: the command-line front of the generator core. A small dispatcher over
// the commands of kCommands; each command lives in its own source file.
#include "helptext.h"
#include "toolcommand.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>

// The command table: add one line per command (declared in toolcommand.h).
static const ToolCommand *const kCommands[] = {
        &kGenerateCommand,
        &kExportCommand,
        &kBatchCommand,
        &kParamsCommand,
};

static const ToolCommand *findCommand(const QString &name)
{
    for (const ToolCommand *c : kCommands)
        if (name == QLatin1String(c->name))
            return c;
    return nullptr;
}

static QByteArray indent(const char *text)
{
    QByteArray out = "    ";
    for (const char *p = text; *p; ++p) {
        out += *p;
        if (*p == '\n')
            out += "    ";
    }
    return out;
}

// The command's synopsis after `lead`, its continuation lines under the command's name.
static QByteArray synopsisLine(const QByteArray &lead, const ToolCommand *c)
{
    return HelpText::wrapLine(lead + c->synopsis, int(lead.size() + qstrlen(c->name)) + 1);
}

static QByteArray usageText()
{
    QByteArray text = "Usage: lumatrace COMMAND [ARGUMENTS]\n"
                      "       lumatrace --help | -h | help [COMMAND]\n"
                      "\n"
                      "The command-line front of the Lumatrace generator core: the same code the\n"
                      "plug-in runs, so the same parameter map gives the same circuit.\n"
                      "\n"
                      "Commands:\n";
    for (const ToolCommand *c : kCommands)
        text += "  " + QByteArray(c->name).leftJustified(10, ' ') + c->summary + "\n";
    text += "\nOptions:\n"
            "  --help, -h                   this text (also: lumatrace COMMAND --help)\n"
            "\nExit status: 0 success, 1 the work failed, 2 bad usage or bad input.\n";
    for (const ToolCommand *c : kCommands)
        text += "\n" + synopsisLine("lumatrace ", c) + "\n" + indent(c->help) + "\n";
    return HelpText::wrap(text);
}

static int printHelp(const QByteArray &text)
{
    return writeStandardOutput(text) ? kExitOk : kExitFailure;
}

static QByteArray commandHelpText(const ToolCommand *c)
{
    return synopsisLine("Usage: lumatrace ", c) + "\n\n" + HelpText::wrap(c->help) + "\n";
}

static bool isHelp(const QString &a)
{
    return a == QLatin1String("--help") || a == QLatin1String("-h");
}

// Qt's own diagnostics (e.g. about the runtime directory of the offscreen platform)
// would add lines to standard error; the tool reports only its own one-line messages.
static void quietMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        const QByteArray line = message.toLocal8Bit() + "\n";
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
}

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessageHandler);
    // Text masks need fonts, hence a GUI application; no window system is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        const QByteArray usage = usageText();
        std::fwrite(usage.constData(), 1, size_t(usage.size()), stderr);
        return kExitBadInput;
    }
    const QString first = args.takeFirst();
    if (isHelp(first) || first == QLatin1String("help")) {
        if (!args.isEmpty() && first == QLatin1String("help")) {
            if (const ToolCommand *c = findCommand(args.first()))
                return printHelp(commandHelpText(c));
            printError(QStringLiteral("unknown command \"%1\" (see lumatrace --help)").arg(args.first()));
            return kExitBadInput;
        }
        return printHelp(usageText());
    }
    const ToolCommand *command = findCommand(first);
    if (!command) {
        printError(QStringLiteral("unknown command \"%1\" (see lumatrace --help)").arg(first));
        return kExitBadInput;
    }
    if (args.size() == 1 && isHelp(args.first()))
        return printHelp(commandHelpText(command));
    return command->run(args);
}
