// The library's one export: the host calls it with its web view once it has loaded us.
#include "lumatrace.h"

#include <QWebView>

extern "C" Q_DECL_EXPORT OvexPlugin *getPlugin(QWebView *view, QWidget *)
{
    auto *plugin = new Lumatrace(view);
    plugin->attach();
    return plugin;
}
