#include "ovexplugin.h"

#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

OvexPlugin::OvexPlugin(QObject *view)
    : QObject(view)
    , view(qobject_cast<QWebView *>(view))
{ }

const char *OvexPlugin::scriptName()
{
    return "lplug";
}

void OvexPlugin::attach()
{
    if (!view)
        return;
    view->page()->mainFrame()->addToJavaScriptWindowObject(QString::fromLatin1(scriptName()), this,
                                                           QWebFrame::QtOwnership);
    connect(this, SIGNAL(processWebViewSignal()), view, SLOT(forward()));
}
