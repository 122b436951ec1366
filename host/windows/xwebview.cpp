#include "xwebview.h"

#include "appcontent.h"
#include "windowhost.h"
#include "xcookiejar.h"
#include "xnetworkaccessmanager.h"
#include "xwebpage.h"
#include "xwebpluginfactory.h"
#include "xwindow.h"

#include <QWebFrame>

XWebView::XWebView(XWindow *window, QWidget *parent)
    : QWebView(parent)
    , window(window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *page = new XWebPage(this);
    WindowHost *host = window->host();
    if (host->pluginFactory())
        page->setPluginFactory(host->pluginFactory());
    auto *manager = new XNetworkAccessManager(host->content(), this);
    manager->setCookieJar(new XCookieJar);
    page->setNetworkAccessManager(manager);
    setPage(page);
    setProperty("widgetLastId", 0);
}

void XWebView::forward()
{
    const QString work = property("work").toString();
    setProperty("work", QString());
    if (work == QLatin1String("set_drc_data"))
        storeHandedBytes();
    else if (work == QLatin1String("register_widget"))
        registerHandedWidget();
}

void XWebView::storeHandedBytes()
{
    const auto *bytes = static_cast<const QByteArray *>(property("byte_array").value<void *>());
    if (!bytes)
        return;
    window->host()->content()->resources().set(property("filename").toString(), *bytes);
}

void XWebView::registerHandedWidget()
{
    bool ok = false;
    const int id = property("widgetLastId").toInt(&ok);
    auto *widget = qobject_cast<QWidget *>(property("widgetObj").value<QObject *>());
    if (!widget || !ok)
        return;
    setProperty("widgetObj", 0);
    window->host()->content()->registerWidget(widget, id);
}

void XWebView::loadingChanged(const QUrl &) { }

void XWebView::loadingFinished(bool) { }

void XWebView::loadingStarted()
{
    if (!page()->mainFrame()->requestedUrl().toString().startsWith(QLatin1String("file:///")))
        stop();
}

void XWebView::loadedParent(bool ok)
{
    page()->mainFrame()->evaluateJavaScript(
            QStringLiteral("window.parent_loaded = '") + (ok ? QStringLiteral("ok") : QStringLiteral("error"))
            + QStringLiteral("';if(window.parent_loaded_callback) window.parent_loaded_callback();"));
}

QWebView *XWebView::createWindow(QWebPage::WebWindowType)
{
    XWindow *child = window->createChildWindow(QString(), true);
    child->setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                          | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    child->show();
    window->host()->mainWindow()->evaluateInMainFrame(QStringLiteral("_OVEX.last_created_win = ")
                                                             + child->scriptObjectName() + QStringLiteral(";"));
    return child->webView();
}
