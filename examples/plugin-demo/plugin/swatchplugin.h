#pragma once

#include "ovexplugin.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

class QLabel;

/// A minimal plug-in: published to the page as `swatch`, it paints colour swatches as PNG
/// images that the page loads by a "drc:" URL, and hands the host a label widget that the
/// page embeds with an `object` element of type "ovex/widget".
class SwatchPlugin : public OvexPlugin
{
    Q_OBJECT

public:
    explicit SwatchPlugin(QObject *view);
    ~SwatchPlugin() override;

    const char *scriptName() override;
    /// Publishes the object, then registers the label under the host's next widget id.
    void attach() override;

public Q_SLOTS:
    /// Paints a `width` × `height` swatch of `color` (any CSS colour name or #rrggbb)
    /// fading to white, and hands it to the host as the PNG `name`. False, and nothing
    /// handed over, for a size outside 1 to 4096, an unknown colour or an empty name.
    bool paint(const QString &name, int width, int height, const QString &color);
    /// The id under which the label was registered; 0 before attach().
    int widgetId() const;
    /// The text the label shows.
    void setCaption(const QString &text);
    QString caption() const;

private:
    void handOver(const QString &name);
    void registerWidget(QWidget *widget);

    QByteArray png; // kept alive while the host copies it
    QPointer<QLabel> label;
    int labelId = 0;
};
