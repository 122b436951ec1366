#pragma once

#include <QObject>

class QWebView;

/// Base of every plug-in object. The same code is compiled into the host and into each
/// plug-in library. A plug-in never calls host code: it hands data and widgets over by
/// setting dynamic properties on the host's web view and emitting processWebViewSignal(),
/// which the view's forward() slot consumes synchronously.
class OvexPlugin : public QObject
{
    Q_OBJECT

public:
    /// `view` is the host's web view; it becomes the Qt parent.
    explicit OvexPlugin(QObject *view);

    /// Name under which attach() publishes the object into the page.
    virtual const char *scriptName();

    /// Publishes the object into the view's main frame and connects the hand-off signal
    /// to the view's forward() slot. Overrides call the base first.
    virtual void attach();

Q_SIGNALS:
    void processWebViewSignal();

protected:
    QWebView *view;
};

/// Signature of the `getPlugin` export every plug-in library provides (C linkage).
/// The second argument is the host's main window; plug-ins ignore it.
using GetPluginFunction = OvexPlugin *(*)(QWebView *view, QWidget *mainWindow);
