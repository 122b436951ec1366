#pragma once

#include <QWebView>

class XWindow;

/// The web view of one window. Besides showing the page it receives the plug-in hand-off
/// (forward) and creates child windows for the page's window.open.
class XWebView : public QWebView
{
    Q_OBJECT

public:
    XWebView(XWindow *window, QWidget *parent);

public Q_SLOTS:
    /// Consumes one plug-in hand-off described by the view's dynamic properties.
    void forward();
    void loadingChanged(const QUrl &url);
    void loadingFinished(bool ok);
    /// In local-only mode, stops any load that is not of a "file:///" URL.
    void loadingStarted();
    void loadedParent(bool ok);

protected:
    QWebView *createWindow(QWebPage::WebWindowType type) override;

private:
    void storeHandedBytes();
    void registerHandedWidget();

    XWindow *window;
};
