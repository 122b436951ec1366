#pragma once

#include "hostoptions.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class EJPWrapper;
class JSApiOvex;
class QApplication;
class QSettings;
class QWidget;
class XDynamicResource;
class XWebPluginFactory;
class XWindow;

/// The one application object: builds the main window and its page, publishes `ovex`,
/// opens "config.ini" beside the executable, owns the in-memory resource store, the widget
/// registry and the package reader, and loads the package named after the executable.
class Ovex
{
public:
    /// The whole start-up. The main window is built but not shown. `options` may name
    /// the application's folder or package in place of the ones beside the program,
    /// and ask for the web inspector.
    explicit Ovex(QApplication *application, const HostOptions &options = HostOptions());
    virtual ~Ovex();

    Ovex(const Ovex &) = delete;
    Ovex &operator=(const Ovex &) = delete;

    QVariant settingsValue(const QString &key, const QVariant &defaultValue) const;
    void setSettingsValue(const QString &key, const QVariant &value);

    /// The process arguments, the program path first, without the host's own options.
    QStringList arguments() const;

    /// The folder the "app" scheme serves: the one of `--app`, none (empty) when a
    /// package was named with `--package`, else the "app" folder beside the program.
    QString appDirectory() const;
    /// The "app" folder beside the program.
    static QString defaultAppDirectory();

    /// Packs `dirPath` into `ejpFile`; true when the package holds every file of the folder,
    /// false too when entries were left out (links leading outside the folder or nowhere,
    /// second names of a folder, pipes and other special files: see EJPWrapper::wrap).
    bool wrapEJP(const QString &dirPath, const QString &ejpFile);
    void loadEJP(const QString &ejpFile);
    bool packageContains(const QString &path);
    QByteArray packageFile(const QString &path);

    /// Registers `widget` under `id`; id 0 takes the next value of the main view's
    /// "widgetLastId" counter. Returns the id used.
    int registerWidget(QWidget *widget, int id);

    XWindow *mainWindow() const { return m_mainWindow; }
    /// Called once by the first window while it is built, so it can publish itself.
    void adoptMainWindow(XWindow *window);
    XWebPluginFactory *pluginFactory() const { return m_pluginFactory; }
    XDynamicResource *dynamicResources() const { return m_dynamicResources; }
    JSApiOvex *scriptObject() const { return m_scriptObject; }
    const QMap<int, QWidget *> &widgets() const { return m_widgets; }

    /// The package file looked for at start-up: the executable's base name (up to its
    /// first dot) plus ".ejp", relative to the working directory.
    static QString startPackageName();

private:
    EJPWrapper *ensurePackage();
    QString startPackage() const;
    void openInspector();

    XWindow *m_mainWindow = nullptr;
    QApplication *m_application;
    QMap<int, QWidget *> m_widgets;
    XWebPluginFactory *m_pluginFactory = nullptr;
    XDynamicResource *m_dynamicResources = nullptr;
    QSettings *m_settings = nullptr;
    JSApiOvex *m_scriptObject = nullptr;
    EJPWrapper *m_package = nullptr;
    HostOptions m_options;
};
