#include "ovex.h"

#include "appcontent.h"
#include "jsapiovex.h"
#include "xwebpage.h"
#include "xwebpluginfactory.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QWebInspector>

Ovex::Ovex(QApplication *application, const HostOptions &options)
    : m_options(options)
    , m_content(new AppContent(appDirectoryFor(options)))
    , m_application(application)
{
    XWebPage::configureEngine();

    // The engine requests the page's application script while the main window builds
    // its page, so a package that serves it must be loaded before that.
    const QString package = startPackage();
    if (!package.isEmpty() && QFile::exists(package))
        loadEJP(package);

    // The window stores itself as the main window before it builds its page.
    new XWindow(this, nullptr, false);

    m_scriptObject = new JSApiOvex(this, m_mainWindow);
    m_mainWindow->publishApplicationObjects();

    m_settings = new QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/config.ini"),
                               QSettings::IniFormat, m_mainWindow);
    m_pluginFactory = new XWebPluginFactory(m_content.get(), m_mainWindow->webView());
    m_mainWindow->webView()->setProperty("widgetLastId", 0);
    m_content->setWidgetCounter(m_mainWindow->webView());
    m_mainWindow->webView()->page()->setPluginFactory(m_pluginFactory);
    if (m_options.inspect())
        openInspector();
}

// The windows go first: their views, plug-ins and widgets may still use the content
// while they are torn down.
Ovex::~Ovex()
{
    delete m_mainWindow;
    m_mainWindow = nullptr;
}

void Ovex::adoptMainWindow(XWindow *window)
{
    if (!m_mainWindow)
        m_mainWindow = window;
}

QStringList Ovex::arguments() const
{
    return QCoreApplication::arguments() + m_options.trailingArguments();
}

QVariant Ovex::settingsValue(const QString &key, const QVariant &defaultValue) const
{
    return m_settings->value(key, defaultValue);
}

void Ovex::setSettingsValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
}

QWebView *Ovex::mainView() const
{
    return m_mainWindow->webView();
}

QWidget *Ovex::dialogParent() const
{
    return m_mainWindow;
}

void Ovex::evaluateInMainFrame(const QString &script)
{
    m_mainWindow->evaluateInMainFrame(script);
}

QString Ovex::appDirectory() const
{
    return m_content->appDirectory();
}

bool Ovex::wrapEJP(const QString &dirPath, const QString &ejpFile)
{
    return m_content->package().wrap(dirPath, ejpFile).complete();
}

void Ovex::loadEJP(const QString &ejpFile)
{
    m_content->package().load(ejpFile);
}

bool Ovex::packageContains(const QString &path) const
{
    return m_content->package().contains(path);
}

XDynamicResource *Ovex::dynamicResources() const
{
    return &m_content->resources();
}

int Ovex::registerWidget(QWidget *widget, int id)
{
    return m_content->registerWidget(widget, id);
}

const QMap<int, QWidget *> &Ovex::widgets() const
{
    return m_content->widgets();
}

QString Ovex::startPackageName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).baseName() + QStringLiteral(".ejp");
}

QString Ovex::appDirectoryFor(const HostOptions &options)
{
    if (!options.appDirectory().isEmpty())
        return QDir::cleanPath(options.appDirectory());
    if (!options.packageFile().isEmpty())
        return QString();
    return AppContent::defaultAppDirectory();
}

// An application named on the command line is the only one served, so the package
// beside the program is then left alone.
QString Ovex::startPackage() const
{
    if (!m_options.packageFile().isEmpty())
        return m_options.packageFile();
    if (!m_options.appDirectory().isEmpty())
        return QString();
    return startPackageName();
}

// A window of its own, as a child of the main window so that it neither keeps the
// application running nor outlives the page it inspects.
void Ovex::openInspector()
{
    auto *inspector = new QWebInspector(m_mainWindow);
    inspector->setWindowFlags(Qt::Window);
    inspector->setWindowTitle(QStringLiteral("Inspector"));
    inspector->setPage(m_mainWindow->webView()->page());
    inspector->resize(900, 600);
    inspector->show();
}
