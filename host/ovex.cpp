#include "ovex.h"

#include "ejpwrapper.h"
#include "jsapiovex.h"
#include "xdynamicresource.h"
#include "xwebpage.h"
#include "xwebpluginfactory.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QWebFrame>
#include <QWebInspector>
#include <QWebPage>

Ovex::Ovex(QApplication *application, const HostOptions &options)
    : m_application(application)
    , m_options(options)
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
    m_dynamicResources = new XDynamicResource;
    m_pluginFactory = new XWebPluginFactory(this, m_mainWindow->webView());
    m_mainWindow->webView()->setProperty("widgetLastId", 0);
    m_mainWindow->webView()->page()->setPluginFactory(m_pluginFactory);
    if (m_options.inspect())
        openInspector();
}

Ovex::~Ovex()
{
    delete m_dynamicResources;
    m_dynamicResources = nullptr;
    delete m_mainWindow;
    m_mainWindow = nullptr;
    delete m_package;
}

QVariant Ovex::settingsValue(const QString &key, const QVariant &defaultValue) const
{
    return m_settings->value(key, defaultValue);
}

void Ovex::setSettingsValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
}

QStringList Ovex::arguments() const
{
    return QCoreApplication::arguments() + m_options.trailingArguments();
}

QString Ovex::appDirectory() const
{
    if (!m_options.appDirectory().isEmpty())
        return QDir::cleanPath(m_options.appDirectory());
    if (!m_options.packageFile().isEmpty())
        return QString();
    return defaultAppDirectory();
}

QString Ovex::defaultAppDirectory()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/app"));
}

bool Ovex::wrapEJP(const QString &dirPath, const QString &ejpFile)
{
    return ensurePackage()->wrap(dirPath, ejpFile).complete();
}

void Ovex::loadEJP(const QString &ejpFile)
{
    ensurePackage()->load(ejpFile);
}

bool Ovex::packageContains(const QString &path)
{
    return ensurePackage()->contains(path);
}

QByteArray Ovex::packageFile(const QString &path)
{
    return ensurePackage()->data(path);
}

int Ovex::registerWidget(QWidget *widget, int id)
{
    if (id == 0) {
        QWebView *view = m_mainWindow->webView();
        id = view->property("widgetLastId").toInt() + 1;
        view->setProperty("widgetLastId", id);
    }
    m_widgets.insert(id, widget);
    return id;
}

void Ovex::adoptMainWindow(XWindow *window)
{
    if (!m_mainWindow)
        m_mainWindow = window;
}

QString Ovex::startPackageName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).baseName() + QStringLiteral(".ejp");
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

EJPWrapper *Ovex::ensurePackage()
{
    if (!m_package)
        m_package = new EJPWrapper;
    return m_package;
}
