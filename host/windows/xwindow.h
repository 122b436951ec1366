#pragma once

#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QUrl>

class JSApiWin;
class QAction;
class QMenu;
class QWebFrame;
class WindowHost;
class XWebView;

/// A top-level window of the host: a main window whose central widget is a web view
/// built from the resource skeleton. The first window created is the application's main
/// window; its page also loads the application script and calls `main(args)`.
class XWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Builds the window and its page; it is not shown.
    XWindow(WindowHost *host, QWidget *parent, bool dialog);

    /// A new window with this one as parent, announced to the main window's script
    /// through the callback `callbackId` ("" for none).
    XWindow *createChildWindow(const QString &callbackId, bool dialog);

    WindowHost *host() const { return m_host; }
    XWebView *webView() const { return view; }
    QWebFrame *mainFrame() const { return frame; }
    QString scriptObjectName() const { return m_scriptObjectName; }
    QWidget *parentWindowWidget() const { return parentWindow; }

    /// Evaluates `script` in this window's main frame; the result is discarded.
    void evaluateInMainFrame(const QString &script);
    /// Publishes `ovex` and every window object into this (the main) window's frame.
    void publishApplicationObjects();

    // Frame state page script sets; each applies the window flags at once and leaves the
    // window shown.

    /// 0 window, 1 dialog, 2 popup, 3 tool, 4 splash screen; back to the default caption.
    void setWindowType(int type);
    void setFrameless(bool frameless);
    /// A caption with exactly these buttons instead of the type's default caption.
    void setCaptionButtons(bool caption, bool minimize, bool maximize, bool close, bool help);
    void setAlwaysOnTop(bool onTop);

    // The menu bar page script builds by name. New menus, actions and separators go to
    // the current menu, or to the menu bar while it is "". Operations that look a name up
    // do nothing for an unknown name. Menus and actions live as long as the window.

    /// Makes `name` the current menu when it names a menu, else the menu bar.
    void switchMenu(const QString &name);
    void enableMenu();
    void disableMenu();
    /// A new menu titled `text`: on the menu bar when it has an `icon` file or there is no
    /// current menu, else a submenu of the current menu. `name` now maps to it.
    void addMenu(const QString &name, const QString &text, const QString &icon);
    /// A new entry whose trigger runs `onClick` as script in this window's main frame;
    /// `shortcut` is read in portable text form. `name` now maps to it.
    void addMenuAction(const QString &name, const QString &text, const QString &onClick, const QString &icon,
                       const QString &shortcut);
    void addMenuSeparator(const QString &name);
    /// Takes every entry off the menu bar; the names still map to their menus and actions.
    void clearMenu();
    /// Takes the named action off the menu bar only.
    void removeMenuAction(const QString &name);
    void enableMenuAction(const QString &name);
    void disableMenuAction(const QString &name);
    void showMenuAction(const QString &name);
    void hideMenuAction(const QString &name);
    QString currentMenuName() const { return currentMenu; }

public Q_SLOTS:
    void linkClicked(const QUrl &url);
    /// Sets the start script of a window without parent (again for every new document).
    void attachObject();
    /// Runs a triggered entry's script text (UTF-8) in this window's main frame.
    void menuTriggered(char *onClick);

private:
    /// Sets the window flags from the type, frameless, always-on-top and caption state,
    /// and leaves the window shown.
    void applyFlags();
    void setUpPage();
    QString startScript() const;
    /// Where new entries go: the current menu's widget, or the menu bar.
    QWidget *menuTarget();

    QString m_scriptObjectName;
    XWebView *view = nullptr;
    QWebFrame *frame = nullptr;
    WindowHost *m_host;
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
    QString currentMenu;
    QMap<QString, QMenu *> menus;
    QMap<QString, QAction *> actions;
};
