#include "xwebpluginfactory.h"

#include "appcontent.h"

#include <QWidget>

namespace {
const QString widgetType = QStringLiteral("ovex/widget");
const QString widgetName = QStringLiteral("OVEX widget");
} // namespace

XWebPluginFactory::XWebPluginFactory(const AppContent *content, QObject *parent)
    : QWebPluginFactory(parent)
    , content(content)
{ }

QList<QWebPluginFactory::Plugin> XWebPluginFactory::plugins() const
{
    MimeType mime;
    mime.name = widgetType;
    mime.description = widgetName;
    Plugin plugin;
    plugin.name = widgetName;
    plugin.description = widgetName;
    plugin.mimeTypes = {mime};
    return {plugin};
}

QObject *XWebPluginFactory::create(const QString &mimeType, const QUrl &, const QStringList &argumentNames,
                                   const QStringList &argumentValues) const
{
    QString idText;
    int width = 0;
    int height = 0;
    for (int i = 0; i < argumentNames.size() && i < argumentValues.size(); ++i) {
        if (argumentNames.at(i) == QLatin1String("widget-id"))
            idText = argumentValues.at(i);
        else if (argumentNames.at(i) == QLatin1String("width"))
            width = argumentValues.at(i).toInt();
        else if (argumentNames.at(i) == QLatin1String("height"))
            height = argumentValues.at(i).toInt();
    }
    if (mimeType != widgetType)
        return nullptr;
    bool ok = false;
    const int id = idText.toInt(&ok);
    if (!ok || !content->widgets().contains(id))
        return nullptr;
    QWidget *widget = content->widgets().value(id);
    if (width > 0)
        widget->setFixedWidth(width);
    if (height > 0)
        widget->setFixedHeight(height);
    return widget;
}
