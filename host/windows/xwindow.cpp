#include "xwindow.h"

#include "apporigin.h"
#include "jsapiovex.h"
#include "jsapiwin.h"
#include "scriptliteral.h"
#include "windowhost.h"
#include "xaction.h"
#include "xwebview.h"

#include <QFile>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QUuid>
#include <QWebFrame>
#include <QWebPage>

XWindow::XWindow(WindowHost *host, QWidget *parent, bool dialog)
    : QMainWindow(parent)
    , m_host(host)
    , parentWindow(parent)
{
    m_host->adoptMainWindow(this);

    view = new XWebView(this, nullptr);
    view->setContentsMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    setCentralWidget(view);

    scriptObject = new JSApiWin(this);
    if (dialog) {
        windowType = 1;
        showMaximize = false;
        showMinimize = false;
        setWindowFlags(Qt::Dialog);
        setWindowModality(Qt::WindowModal);
    } else {
        windowType = 0;
        setWindowFlags(Qt::Window);
    }

    connect(view, &QWebView::linkClicked, this, &XWindow::linkClicked);
    frame = view->page()->mainFrame();

    m_scriptObjectName = QStringLiteral("winobj") + QUuid::createUuid().toString(QUuid::Id128);
    setObjectName(m_scriptObjectName);
    if (AppOrigin::holdsOwnDocument(m_host->mainWindow()->mainFrame()))
        m_host->mainWindow()->mainFrame()->addToJavaScriptWindowObject(m_scriptObjectName, scriptObject,
                                                                    QWebFrame::QtOwnership);
    setUpPage();
}

void XWindow::setUpPage()
{
    QFile skeleton(QStringLiteral(":/resource/init.html"));
    skeleton.open(QIODevice::ReadOnly);
    QString html = QString::fromUtf8(skeleton.readAll());
    if (!parentWindow)
        html.replace(QStringLiteral("</head>"),
                     QStringLiteral("<script type=\"text/javascript\" src=\"xrc:/application.js\"></script></head>"));
    view->setHtml(html, QUrl(QStringLiteral("xrc:/")));
    attachObject();
    connect(frame, &QWebFrame::javaScriptWindowObjectCleared, this, &XWindow::attachObject);
}

XWindow *XWindow::createChildWindow(const QString &callbackId, bool dialog)
{
    auto *child = new XWindow(m_host, this, dialog);
    m_host->mainWindow()->evaluateInMainFrame(QStringLiteral("_OVEX.callCallback(") + ScriptLiteral::quote(callbackId)
                                           + QStringLiteral(", new WIN(") + child->scriptObjectName()
                                           + QStringLiteral("));"));
    return child;
}

void XWindow::evaluateInMainFrame(const QString &script)
{
    // The host's callbacks carry the application's data (process output, window objects)
    // to the main window's page; a page from elsewhere that a link brought there must not
    // receive them. Child windows run whatever script the application sends them.
    if (m_host->mainWindow() == this && !AppOrigin::holdsOwnDocument(frame))
        return;
    frame->evaluateJavaScript(script);
}

void XWindow::publishApplicationObjects()
{
    if (m_host->mainWindow() != this || !AppOrigin::holdsOwnDocument(frame))
        return;
    // The engine forgets published objects whenever the frame gets a new document, so
    // they are published again for each one; the page's load handler needs them.
    if (m_host->scriptObject())
        frame->addToJavaScriptWindowObject(QStringLiteral("ovex"), m_host->scriptObject(), QWebFrame::QtOwnership);
    const QList<JSApiWin *> windowObjects = findChildren<JSApiWin *>();
    for (JSApiWin *object : windowObjects)
        frame->addToJavaScriptWindowObject(object->window()->scriptObjectName(), object, QWebFrame::QtOwnership);
}

void XWindow::setWindowType(int type)
{
    windowType = type;
    defaultCaption = true;
    applyFlags();
}

void XWindow::setFrameless(bool on)
{
    frameless = on;
    applyFlags();
}

void XWindow::setCaptionButtons(bool caption, bool minimize, bool maximize, bool close, bool help)
{
    showCaption = caption;
    showMinimize = minimize;
    showMaximize = maximize;
    showClose = close;
    showHelp = help;
    defaultCaption = false;
    applyFlags();
}

void XWindow::setAlwaysOnTop(bool onTop)
{
    alwaysOnTop = onTop;
    applyFlags();
}

void XWindow::applyFlags()
{
    static const Qt::WindowFlags baseFlags[] = {Qt::Window, Qt::Dialog, Qt::Popup, Qt::Tool, Qt::SplashScreen};
    Qt::WindowFlags flags = windowType >= 0 && windowType <= 4 ? baseFlags[windowType] : Qt::Widget;
    if (frameless)
        flags |= Qt::FramelessWindowHint;
    if (alwaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    if (!defaultCaption) {
        flags |= Qt::CustomizeWindowHint;
        if (showCaption)
            flags |= Qt::WindowTitleHint;
        if (showMinimize)
            flags |= Qt::WindowMinimizeButtonHint;
        if (showMaximize)
            flags |= Qt::WindowMaximizeButtonHint;
        if (showClose)
            flags |= Qt::WindowCloseButtonHint;
        if (showHelp)
            flags |= Qt::WindowContextHelpButtonHint;
    }
    hide();
    setWindowFlags(flags);
    show();
}

void XWindow::linkClicked(const QUrl &url)
{
    if (url.toString().startsWith(QLatin1String("app://")))
        return;
    view->load(url);
}

void XWindow::attachObject()
{
    // A page from anywhere else runs as an ordinary web page: no objects, no start script
    // (which would hand it the program's arguments), and no opener: the window that opened
    // it may be the application's, which it could otherwise navigate.
    if (!AppOrigin::holdsOwnDocument(frame)) {
        frame->evaluateJavaScript(QStringLiteral("window.opener = null;"));
        return;
    }
    publishApplicationObjects();
    if (parentWindow)
        return;
    frame->evaluateJavaScript(startScript());
}

QString XWindow::startScript() const
{
    // The closing check runs even when main is missing or throws: a main window that was
    // never shown must not keep an invisible process alive.
    return QStringLiteral("window.onload = function () {app.win = new WIN(") + m_scriptObjectName
            + QStringLiteral(", window);try {main(") + ScriptLiteral::array(m_host->arguments())
            + QStringLiteral(");} finally {if (app.win.isHidden()) app.win.terminate();}};");
}

QWidget *XWindow::menuTarget()
{
    if (currentMenu.isEmpty())
        return menuBar();
    return menus.value(currentMenu);
}

void XWindow::switchMenu(const QString &name)
{
    currentMenu = menus.contains(name) ? name : QString();
}

void XWindow::enableMenu()
{
    menuBar()->setEnabled(true);
}

void XWindow::disableMenu()
{
    menuBar()->setEnabled(false);
}

void XWindow::addMenu(const QString &name, const QString &text, const QString &icon)
{
    QWidget *target = icon.isEmpty() ? menuTarget() : menuBar();
    auto *menu = new QMenu(text, target);
    if (!icon.isEmpty())
        menu->setIcon(QIcon(icon));
    target->addAction(menu->menuAction());
    menus.insert(name, menu);
}

void XWindow::addMenuAction(const QString &name, const QString &text, const QString &onClick, const QString &icon,
                            const QString &shortcut)
{
    auto *action = icon.isEmpty() ? new XAction(text, this) : new XAction(QIcon(icon), text, this);
    action->onClick = onClick;
    action->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    connect(action, &XAction::clickedx, this, &XWindow::menuTriggered);
    menuTarget()->addAction(action);
    actions.insert(name, action);
}

void XWindow::addMenuSeparator(const QString &name)
{
    QWidget *target = menuTarget();
    auto *separator = new QAction(target);
    separator->setSeparator(true);
    target->addAction(separator);
    actions.insert(name, separator);
}

void XWindow::clearMenu()
{
    menuBar()->clear();
}

void XWindow::removeMenuAction(const QString &name)
{
    if (QAction *action = actions.value(name))
        menuBar()->removeAction(action);
}

void XWindow::enableMenuAction(const QString &name)
{
    if (QAction *action = actions.value(name))
        action->setEnabled(true);
}

void XWindow::disableMenuAction(const QString &name)
{
    if (QAction *action = actions.value(name))
        action->setEnabled(false);
}

void XWindow::showMenuAction(const QString &name)
{
    if (QAction *action = actions.value(name))
        action->setVisible(true);
}

void XWindow::hideMenuAction(const QString &name)
{
    if (QAction *action = actions.value(name))
        action->setVisible(false);
}

void XWindow::menuTriggered(char *onClick)
{
    const QString script = QString::fromUtf8(onClick);
    if (!script.isEmpty())
        evaluateInMainFrame(script);
}
