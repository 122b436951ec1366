#pragma once

#include <QObject>
#include <QVariant>
#include <QVariantList>

class XCookieJar;
class XWindow;

/// The scripting object of one window, published into the main window's frame under the
/// window's script object name. Its slots act on the window at once and report nothing.
class JSApiWin : public QObject
{
    Q_OBJECT

public:
    explicit JSApiWin(XWindow *window);

    XWindow *window() const { return m_window; }

public Q_SLOTS:
    void setTitle(const QString &title);
    QString getTitle();
    void show();
    void hide();
    bool isHidden();
    void close();
    void terminate();
    void setMaximized(bool maximized);
    void setMinimized(bool minimized);
    void setWidth(int width);
    void setHeight(int height);
    void setIcon(const QString &file);
    void setSize(int width, int height);
    void setModal(bool modal);
    bool isModal();
    bool isMaximized();
    bool isMinimized();
    int getWidth();
    int getHeight();
    QVariantList getSize();
    void setPosition(int x, int y);
    int getPositionX();
    int getPositionY();
    QVariantList getPosition();
    void setLocalOnly();
    void simulateClick(int x, int y);
    void load(const QString &url);
    void centerPosition(bool vertically, bool horizontally, bool by_parent);
    void centerPosition(bool vertically, bool horizontally);
    void reload();
    void setTypeWindow();
    void setTypeDialog();
    void setTypePopup();
    void setTypeTool();
    void setTypeSplashScreen();
    void setFrameless(bool is);
    void setShowCaption(bool show, bool isMinimize, bool isMaximize, bool isClose, bool isHelp);
    void setAlwaysOnTop(bool is);
    void js(const QString &string);
    /// One record per cookie of this window's jar, in the jar's order.
    QVariantList getAllCookies();
    /// Replaces this window's cookies with those built from the records in `in`; anything
    /// that is not a list empties the jar.
    void setAllCookies(const QVariant &in);
    void switchMenu(const QString &name);
    void enableMenu();
    void disableMenu();
    void addMenu(const QString &name, const QString &text, const QString &icon);
    void addMenuAction(const QString &name, const QString &text, const QString &onClick, const QString &icon,
                       const QString &shortcut);
    void addMenuSeparator(const QString &name);
    void clearMenu();
    void removeMenuAction(const QString &name);
    void enableMenuAction(const QString &name);
    void disableMenuAction(const QString &name);
    void showMenuAction(const QString &name);
    void hideMenuAction(const QString &name);

private:
    void setType(int type);
    XCookieJar *cookieJar() const;

    XWindow *m_window;
    bool wasMaximized = false;
};
