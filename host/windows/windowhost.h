#pragma once

#include <QStringList>

class AppContent;
class JSApiOvex;
class XWebPluginFactory;
class XWindow;

/// What every window of the application shares, as the application object offers it to
/// the windows it builds; windows and views know this interface, not the application.
class WindowHost
{
public:
    virtual ~WindowHost() = default;

    /// The first window; null until that window adopts the role while it is built.
    virtual XWindow *mainWindow() const = 0;
    /// Called by every window while it is built; only the first call takes effect.
    virtual void adoptMainWindow(XWindow *window) = 0;
    /// `ovex`, published into the main window's frame; null until it exists.
    virtual JSApiOvex *scriptObject() const = 0;
    /// The factory that puts registered widgets into pages; null until it exists.
    virtual XWebPluginFactory *pluginFactory() const = 0;
    /// What the views' private schemes serve and plug-ins hand over.
    virtual AppContent *content() const = 0;
    /// The arguments the main page's `main` receives, the program path first.
    virtual QStringList arguments() const = 0;
};
