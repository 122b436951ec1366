#pragma once

#include <QString>
#include <QVariant>

class AppContent;
class QWebView;
class QWidget;

/// What `ovex` needs of the application around it, as the application object offers it;
/// the script object knows this interface, not the application or its windows.
class ScriptHost
{
public:
    virtual ~ScriptHost() = default;

    /// The package, the store of handed-over bytes and the widget registry.
    virtual AppContent *content() const = 0;
    virtual QVariant settingsValue(const QString &key, const QVariant &defaultValue) const = 0;
    virtual void setSettingsValue(const QString &key, const QVariant &value) = 0;
    /// The main window's view: plug-ins attach to it.
    virtual QWebView *mainView() const = 0;
    /// The window dialogs are modal to: the main window.
    virtual QWidget *dialogParent() const = 0;
    /// Runs script in the main window's page (nothing when that page is not the application's).
    virtual void evaluateInMainFrame(const QString &script) = 0;
};
