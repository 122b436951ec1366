#include "jsapiwin.h"

#include "cookierecord.h"
#include "xcookiejar.h"
#include "xwebview.h"
#include "xwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QScreen>
#include <QWebFrame>

JSApiWin::JSApiWin(XWindow *window)
    : QObject(window)
    , m_window(window)
{ }

void JSApiWin::setTitle(const QString &title)
{
    m_window->setWindowTitle(title);
}

QString JSApiWin::getTitle()
{
    return m_window->windowTitle();
}

void JSApiWin::show()
{
    m_window->show();
}

void JSApiWin::hide()
{
    m_window->hide();
}

bool JSApiWin::isHidden()
{
    return m_window->isHidden();
}

void JSApiWin::close()
{
    m_window->close();
}

void JSApiWin::terminate()
{
    m_window->close();
}

void JSApiWin::setMaximized(bool maximized)
{
    if (maximized)
        m_window->showMaximized();
    else
        m_window->showNormal();
}

void JSApiWin::setMinimized(bool minimized)
{
    if (minimized) {
        wasMaximized = m_window->isMaximized();
        m_window->showMinimized();
    } else if (wasMaximized) {
        m_window->showMaximized();
    } else {
        m_window->showNormal();
    }
}

void JSApiWin::setWidth(int width)
{
    m_window->resize(width, m_window->height());
}

void JSApiWin::setHeight(int height)
{
    m_window->resize(m_window->width(), height);
}

void JSApiWin::setIcon(const QString &file)
{
    m_window->setWindowIcon(QIcon(file));
}

void JSApiWin::setSize(int width, int height)
{
    m_window->resize(width, height);
}

void JSApiWin::setModal(bool modal)
{
    m_window->setWindowModality(modal ? Qt::WindowModal : Qt::NonModal);
}

bool JSApiWin::isModal()
{
    return m_window->windowModality() != Qt::NonModal;
}

bool JSApiWin::isMaximized()
{
    return m_window->isMaximized();
}

bool JSApiWin::isMinimized()
{
    return m_window->isMinimized();
}

int JSApiWin::getWidth()
{
    return m_window->width();
}

int JSApiWin::getHeight()
{
    return m_window->height();
}

QVariantList JSApiWin::getSize()
{
    return {getWidth(), getHeight()};
}

void JSApiWin::setPosition(int x, int y)
{
    m_window->setGeometry(x, y, m_window->width(), m_window->height());
}

int JSApiWin::getPositionX()
{
    return m_window->x();
}

int JSApiWin::getPositionY()
{
    return m_window->y();
}

QVariantList JSApiWin::getPosition()
{
    return {getPositionX(), getPositionY()};
}

void JSApiWin::setLocalOnly()
{
    XWebView *view = m_window->webView();
    connect(view, &QWebView::urlChanged, view, &XWebView::loadingChanged);
    connect(view, &QWebView::loadFinished, view, &XWebView::loadingFinished);
    connect(view, &QWebView::loadStarted, view, &XWebView::loadingStarted);
}

void JSApiWin::simulateClick(int x, int y)
{
    QApplication::postEvent(
            m_window->webView(),
            new QMouseEvent(QEvent::MouseButtonPress, QPointF(x, y), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

void JSApiWin::load(const QString &url)
{
    m_window->webView()->load(QUrl(url));
}

void JSApiWin::centerPosition(bool vertically, bool horizontally, bool by_parent)
{
    if (!vertically && !horizontally)
        return;
    const int w = m_window->width();
    const int h = m_window->height();
    QPoint origin;
    QSize reference;
    QWidget *parent = m_window->parentWindowWidget();
    if (by_parent && parent) {
        origin = parent->pos();
        reference = parent->size();
    } else {
        reference = QGuiApplication::primaryScreen()->geometry().size();
    }
    // The coordinate that is not centred keeps the client area's own value: the frame's
    // would move the window by the width of its frame on every call.
    const QRect client = m_window->geometry();
    const int x = horizontally ? origin.x() + (reference.width() - w) / 2 : client.x();
    const int y = vertically ? origin.y() + (reference.height() - h) / 2 : client.y();
    m_window->setGeometry(x, y, w, h);
}

void JSApiWin::centerPosition(bool vertically, bool horizontally)
{
    centerPosition(vertically, horizontally, false);
}

void JSApiWin::reload()
{
    m_window->webView()->reload();
}

void JSApiWin::setType(int type)
{
    m_window->setWindowType(type);
}

void JSApiWin::setTypeWindow()
{
    setType(0);
}

void JSApiWin::setTypeDialog()
{
    setType(1);
}

void JSApiWin::setTypePopup()
{
    setType(2);
}

void JSApiWin::setTypeTool()
{
    setType(3);
}

void JSApiWin::setTypeSplashScreen()
{
    setType(4);
}

void JSApiWin::setFrameless(bool is)
{
    m_window->setFrameless(is);
}

void JSApiWin::setShowCaption(bool show, bool isMinimize, bool isMaximize, bool isClose, bool isHelp)
{
    m_window->setCaptionButtons(show, isMinimize, isMaximize, isClose, isHelp);
}

void JSApiWin::setAlwaysOnTop(bool is)
{
    m_window->setAlwaysOnTop(is);
}

void JSApiWin::js(const QString &string)
{
    m_window->evaluateInMainFrame(string);
}

XCookieJar *JSApiWin::cookieJar() const
{
    return qobject_cast<XCookieJar *>(m_window->webView()->page()->networkAccessManager()->cookieJar());
}

QVariantList JSApiWin::getAllCookies()
{
    XCookieJar *jar = cookieJar();
    return jar ? CookieRecord::toRecords(jar->allCookies()) : QVariantList();
}

void JSApiWin::setAllCookies(const QVariant &in)
{
    if (XCookieJar *jar = cookieJar())
        jar->setAllCookies(CookieRecord::fromRecords(in));
}

void JSApiWin::switchMenu(const QString &name)
{
    m_window->switchMenu(name);
}

void JSApiWin::enableMenu()
{
    m_window->enableMenu();
}

void JSApiWin::disableMenu()
{
    m_window->disableMenu();
}

void JSApiWin::addMenu(const QString &name, const QString &text, const QString &icon)
{
    m_window->addMenu(name, text, icon);
}

void JSApiWin::addMenuAction(const QString &name, const QString &text, const QString &onClick, const QString &icon,
                             const QString &shortcut)
{
    m_window->addMenuAction(name, text, onClick, icon, shortcut);
}

void JSApiWin::addMenuSeparator(const QString &name)
{
    m_window->addMenuSeparator(name);
}

void JSApiWin::clearMenu()
{
    m_window->clearMenu();
}

void JSApiWin::removeMenuAction(const QString &name)
{
    m_window->removeMenuAction(name);
}

void JSApiWin::enableMenuAction(const QString &name)
{
    m_window->enableMenuAction(name);
}

void JSApiWin::disableMenuAction(const QString &name)
{
    m_window->disableMenuAction(name);
}

void JSApiWin::showMenuAction(const QString &name)
{
    m_window->showMenuAction(name);
}

void JSApiWin::hideMenuAction(const QString &name)
{
    m_window->hideMenuAction(name);
}
