#include "hostoptions.h"

#include "ejpwrapper.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace {

const QString EntryScript = QStringLiteral("application.js");

// Qt's documented options of QGuiApplication and QApplication, which Qt takes out of the
// arguments itself; these take their value as the next word.
const char *const QtValueOptions[] = {"platform",        "platformpluginpath", "platformtheme", "plugin",
                                      "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                      "display",         "geometry",           "style",         "stylesheet"};
const char *const QtFlagOptions[] = {"reverse", "widgetcount"};
// These also take their value after "=".
const char *const QtJoinedOptions[] = {"style", "stylesheet", "qmljsdebugger"};

bool listed(const QString &name, const char *const *begin, const char *const *end)
{
    return std::any_of(begin, end, [&name](const char *option) { return name == QLatin1String(option); });
}

// How many words the Qt option at `word` spans (1 or 2), or 0 when it is none. Qt
// accepts its options with one dash or two.
int qtOptionWords(const QString &word)
{
    QString name = word.mid(word.startsWith(QLatin1String("--")) ? 2 : 1);
    const int equals = name.indexOf(QLatin1Char('='));
    if (equals >= 0)
        return listed(name.left(equals), std::begin(QtJoinedOptions), std::end(QtJoinedOptions)) ? 1 : 0;
    if (listed(name, std::begin(QtFlagOptions), std::end(QtFlagOptions)))
        return 1;
    return listed(name, std::begin(QtValueOptions), std::end(QtValueOptions)) ? 2 : 0;
}

bool isOption(const QString &word)
{
    return word.size() > 1 && word.startsWith(QLatin1Char('-'));
}

} // namespace

HostOptions HostOptions::parse(const QStringList &arguments)
{
    HostOptions options;
    if (arguments.isEmpty())
        return options;
    options.m_toolkitArguments.append(0);
    for (int i = 1; i < arguments.size() && options.m_action == Action::Run; ++i) {
        const QString &word = arguments.at(i);
        if (word == QLatin1String("--")) {
            options.m_trailingArguments = arguments.mid(i + 1);
            break;
        }
        const int qtWords = isOption(word) ? qtOptionWords(word) : 1;
        if (qtWords > 0) {
            for (int k = 0; k < qtWords && i + k < arguments.size(); ++k)
                options.m_toolkitArguments.append(i + k);
            i += qtWords - 1;
        } else if (!options.readHostOption(arguments, i)) {
            options.fail(QStringLiteral("unknown option '%1' (application arguments that start with '-' go "
                                        "after '--'; see tressil --help)")
                                 .arg(word));
        }
    }
    if (options.m_action == Action::Run && !options.m_appDirectory.isEmpty() && !options.m_packageFile.isEmpty())
        options.fail(QStringLiteral("--app and --package cannot be combined"));
    return options;
}

bool HostOptions::readHostOption(const QStringList &arguments, int &index)
{
    const QString &word = arguments.at(index);
    if (word == QLatin1String("--help") || word == QLatin1String("-h"))
        m_action = Action::Help;
    else if (word == QLatin1String("--version"))
        m_action = Action::Version;
    else if (word == QLatin1String("--inspect"))
        m_inspect = true;
    else if (word == QLatin1String("--app") || word.startsWith(QLatin1String("--app=")))
        return takeValue(arguments, index, QStringLiteral("--app"), m_appDirectory);
    else if (word == QLatin1String("--package") || word.startsWith(QLatin1String("--package=")))
        return takeValue(arguments, index, QStringLiteral("--package"), m_packageFile);
    else
        return false;
    return true;
}

bool HostOptions::takeValue(const QStringList &arguments, int &index, const QString &option, QString &value)
{
    const QString &word = arguments.at(index);
    QString given;
    if (word.size() > option.size())
        given = word.mid(option.size() + 1);
    else if (index + 1 < arguments.size())
        given = arguments.at(++index);
    if (!value.isEmpty())
        fail(option + QStringLiteral(" given twice"));
    else if (given.isEmpty())
        fail(option + QStringLiteral(" needs a value (see tressil --help)"));
    value = given;
    return true;
}

void HostOptions::fail(const QString &error)
{
    m_action = Action::UsageError;
    m_error = error;
}

QString HostOptions::checkSources()
{
    if (!m_appDirectory.isEmpty()) {
        const QFileInfo folder(m_appDirectory);
        if (!folder.isDir())
            return QStringLiteral("--app %1: no such folder").arg(m_appDirectory);
        // Without its entry script the application would end at once without a word.
        if (!QFileInfo(QDir(m_appDirectory).filePath(EntryScript)).isFile())
            return QStringLiteral("--app %1: no %2 in the folder").arg(m_appDirectory, EntryScript);
        m_appDirectory = folder.absoluteFilePath();
    }
    if (!m_packageFile.isEmpty()) {
        const QFileInfo file(m_packageFile);
        if (!file.isFile() || !file.isReadable())
            return QStringLiteral("--package %1: no readable package file").arg(m_packageFile);
        EJPWrapper package;
        package.load(m_packageFile);
        if (!package.contains(QLatin1Char('/') + EntryScript))
            return QStringLiteral("--package %1: no /%2 in the package").arg(m_packageFile, EntryScript);
        m_packageFile = file.absoluteFilePath();
    }
    return QString();
}

bool HostOptions::inspectRequestedBy(const QByteArray &environmentValue)
{
    return !environmentValue.isEmpty() && environmentValue != "0";
}

QString HostOptions::helpText()
{
    return QStringLiteral("Usage: tressil [OPTIONS] [ARGUMENTS...] [-- ARGUMENTS...]\n"
                          "\n"
                          "Runs a page application: the \"app\" folder beside the program, else the package\n"
                          "named after the program (tressil.ejp) in the current folder.\n"
                          "\n"
                          "Options:\n"
                          "  --app DIR        run the application in DIR (its application.js and files)\n"
                          "  --package FILE   run the application packaged in FILE (see tressil-package)\n"
                          "  --inspect        open the web inspector for the main window (also when the\n"
                          "                   environment variable TRESSIL_INSPECT is set and not 0)\n"
                          "  --help, -h       this text\n"
                          "  --version        the version\n"
                          "  --               end of options: every later argument goes to the application\n"
                          "\n"
                          "The application's main(args) receives the program path, then every argument\n"
                          "that is not an option of the host or of Qt (-platform NAME, -style NAME,\n"
                          "-reverse, ...). Arguments that start with '-' must follow '--'.\n"
                          "\n"
                          "The program needs a display; to run without one, set QT_QPA_PLATFORM=offscreen.\n"
                          "\n"
                          "Exit status: the application's own, or 2 for a usage error.\n");
}
