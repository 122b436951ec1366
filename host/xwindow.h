#pragma once

#include <QMainWindow>
#include <QString>
#include <QUrl>

class JSApiWin;
class Ovex;
class QWebFrame;
class XWebView;

/// A top-level window of the host: a main window whose central widget is a web view
/// built from the resource skeleton. The first window created is the application's main
/// window; its page also loads the application script and calls `main(args)`.
class XWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Builds the window and its page; it is not shown.
    XWindow(Ovex *app, QWidget *parent, bool dialog);

    /// A new window with this one as parent, announced to the main window's script
    /// through the callback `callbackId` ("" for none).
    XWindow *createChildWindow(const QString &callbackId, bool dialog);

    Ovex *application() const { return app; }
    XWebView *webView() const { return view; }
    QWebFrame *mainFrame() const { return frame; }
    JSApiWin *windowObject() const { return scriptObject; }
    QString scriptObjectName() const { return m_scriptObjectName; }
    QWidget *parentWindowWidget() const { return parentWindow; }

    /// Evaluates `script` in this window's main frame; the result is discarded.
    void evaluateInMainFrame(const QString &script);
    /// Publishes `ovex` and every window object into this (the main) window's frame.
    void publishApplicationObjects();

    /// Sets the window flags from the type, frameless, always-on-top and caption state,
    /// and leaves the window shown.
    void applyFlags();

public Q_SLOTS:
    void linkClicked(const QUrl &url);
    /// Sets the start script of a window without parent (again for every new document).
    void attachObject();

private:
    void setUpPage();
    QString startScript() const;

    friend class JSApiWin;

    QString m_scriptObjectName;
    XWebView *view = nullptr;
    QWebFrame *frame = nullptr;
    Ovex *app;
    QWidget *parentWindow;
    int windowType = 0;
    bool frameless = false;
    bool showCaption = true;
    bool showMinimize = true;
    bool showMaximize = true;
    bool showClose = true;
    bool showHelp = false;
    bool alwaysOnTop = false;
    bool defaultCaption = true;
    JSApiWin *scriptObject = nullptr;
};
