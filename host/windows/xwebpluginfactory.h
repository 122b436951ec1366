#pragma once

#include <QWebPluginFactory>

class AppContent;

/// Puts registered native widgets into pages: an `object` element of type "ovex/widget"
/// names a widget by its "widget-id"; "width" and "height" above 0 fix its size.
class XWebPluginFactory : public QWebPluginFactory
{
    Q_OBJECT

public:
    /// Widgets come from the registry of `content`.
    XWebPluginFactory(const AppContent *content, QObject *parent);

    QList<Plugin> plugins() const override;
    QObject *create(const QString &mimeType, const QUrl &url, const QStringList &argumentNames,
                    const QStringList &argumentValues) const override;

private:
    const AppContent *content;
};
