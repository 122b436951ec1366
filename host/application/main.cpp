#include "displaycheck.h"
#include "hostoptions.h"
#include "ovex.h"
#include "runtimedirectory.h"

#include <QApplication>

#include <cstdio>
#include <vector>

namespace {

void write(FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    HostOptions options = HostOptions::parse(arguments);
    // Help, version and usage errors are answered before the QApplication exists, so they
    // work without a display.
    switch (options.action()) {
    case HostOptions::Action::Help:
        write(stdout, HostOptions::helpText());
        return 0;
    case HostOptions::Action::Version:
        write(stdout, QStringLiteral("tressil " TRESSIL_VERSION "\n"));
        return 0;
    case HostOptions::Action::UsageError:
        write(stderr, QStringLiteral("tressil: ") + options.error() + QLatin1Char('\n'));
        return 2;
    case HostOptions::Action::Run:
        break;
    }
    const QString problem = options.checkSources();
    if (!problem.isEmpty()) {
        write(stderr, QStringLiteral("tressil: ") + problem + QLatin1Char('\n'));
        return 2;
    }
    QStringList toolkitWords;
    for (int index : options.toolkitArguments())
        toolkitWords.append(arguments.at(index));
    const QString noDisplay = DisplayCheck::problem(DisplayCheck::current(), toolkitWords);
    if (!noDisplay.isEmpty()) {
        write(stderr, QStringLiteral("tressil: ") + noDisplay + QLatin1Char('\n'));
        return 1;
    }
    options.setInspect(options.inspect() || HostOptions::inspectRequestedBy(qgetenv("TRESSIL_INSPECT")));
    RuntimeDirectory::ensure();

    // Qt sees the arguments it saw before minus the host's own options; the words after
    // "--" reach the application without Qt reading them as its options.
    std::vector<char *> toolkitArgv;
    for (int index : options.toolkitArguments())
        toolkitArgv.push_back(argv[index]);
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = int(toolkitArgv.size()) - 1;

    // The bundle lives in the static host library, so it is registered by hand.
    Q_INIT_RESOURCE(tressil_resources);
    int status = 0;
    {
        QApplication application(toolkitArgc, toolkitArgv.data());
        Ovex ovex(&application, options);
        status = application.exec();
    }
    Q_CLEANUP_RESOURCE(tressil_resources);
    return status;
}
