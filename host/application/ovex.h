#pragma once

#include "hostoptions.h"
#include "scripthost.h"
#include "windowhost.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QApplication;
class QSettings;
class XDynamicResource;

/// The one application object and the composition root of the host: it builds the
/// application's content first, then the main window and its page, publishes `ovex`,
/// opens "config.ini" beside the executable and loads the package named after the
/// executable. It offers the windows and `ovex` what they share through the small
/// interfaces they know, and holds no logic of its own beyond that wiring.
class Ovex : public WindowHost, public ScriptHost
{
public:
    /// The whole start-up. The main window is built but not shown. `options` may name
    /// the application's folder or package in place of the ones beside the program,
    /// and ask for the web inspector.
    explicit Ovex(QApplication *application, const HostOptions &options = HostOptions());
    ~Ovex() override;

    Ovex(const Ovex &) = delete;
    Ovex &operator=(const Ovex &) = delete;

    // WindowHost
    XWindow *mainWindow() const override { return m_mainWindow; }
    void adoptMainWindow(XWindow *window) override;
    JSApiOvex *scriptObject() const override { return m_scriptObject; }
    XWebPluginFactory *pluginFactory() const override { return m_pluginFactory; }
    AppContent *content() const override { return m_content.get(); }
    /// The process arguments, the program path first, without the host's own options.
    QStringList arguments() const override;

    // ScriptHost
    QVariant settingsValue(const QString &key, const QVariant &defaultValue) const override;
    void setSettingsValue(const QString &key, const QVariant &value) override;
    QWebView *mainView() const override;
    QWidget *dialogParent() const override;
    void evaluateInMainFrame(const QString &script) override;

    /// The folder the "app" scheme serves: the one of `--app`, none (empty) when a
    /// package was named with `--package`, else the "app" folder beside the program.
    QString appDirectory() const;

    // Shorthands for the content's parts.

    /// Packs `dirPath` into `ejpFile`; true when the package holds every file of the folder,
    /// false too when entries were left out (links leading outside the folder or nowhere,
    /// second names of a folder, pipes and other special files: see EJPWrapper::wrap).
    bool wrapEJP(const QString &dirPath, const QString &ejpFile);
    void loadEJP(const QString &ejpFile);
    bool packageContains(const QString &path) const;
    XDynamicResource *dynamicResources() const;
    /// Registers `widget` under `id`; id 0 takes the next value of the main view's
    /// "widgetLastId" counter. Returns the id used.
    int registerWidget(QWidget *widget, int id);
    const QMap<int, QWidget *> &widgets() const;

    /// The package file looked for at start-up: the executable's base name (up to its
    /// first dot) plus ".ejp", relative to the working directory.
    static QString startPackageName();

private:
    static QString appDirectoryFor(const HostOptions &options);
    QString startPackage() const;
    void openInspector();

    HostOptions m_options;
    std::unique_ptr<AppContent> m_content;
    XWindow *m_mainWindow = nullptr;
    QApplication *m_application;
    XWebPluginFactory *m_pluginFactory = nullptr;
    QSettings *m_settings = nullptr;
    JSApiOvex *m_scriptObject = nullptr;
};
