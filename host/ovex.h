#pragma once

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
    /// The whole start-up. The main window is built but not shown.
    explicit Ovex(QApplication *application);
    virtual ~Ovex();

    Ovex(const Ovex &) = delete;
    Ovex &operator=(const Ovex &) = delete;

    QVariant settingsValue(const QString &key, const QVariant &defaultValue) const;
    void setSettingsValue(const QString &key, const QVariant &value);

    /// The process arguments, the program path first.
    QStringList arguments() const;

    void wrapEJP(const QString &dirPath, const QString &ejpFile);
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

    XWindow *m_mainWindow = nullptr;
    QApplication *m_application;
    QMap<int, QWidget *> m_widgets;
    XWebPluginFactory *m_pluginFactory = nullptr;
    XDynamicResource *m_dynamicResources = nullptr;
    QSettings *m_settings = nullptr;
    JSApiOvex *m_scriptObject = nullptr;
    EJPWrapper *m_package = nullptr;
};
