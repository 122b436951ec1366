#include "swatchplugin.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QWebView>

namespace {

constexpr int maxSide = 4096;

} // namespace

SwatchPlugin::SwatchPlugin(QObject *view)
    : OvexPlugin(view)
{ }

// The label belongs to the plug-in until a page embeds it; from then on the page's view
// owns and deletes it.
SwatchPlugin::~SwatchPlugin()
{
    if (label && !label->parent())
        delete label;
}

const char *SwatchPlugin::scriptName()
{
    return "swatch";
}

void SwatchPlugin::attach()
{
    OvexPlugin::attach();
    label = new QLabel(QStringLiteral("Swatch"));
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("background: #fffbe6; border: 1px solid #c9b458;"));
    registerWidget(label);
}

bool SwatchPlugin::paint(const QString &name, int width, int height, const QString &color)
{
    const QColor base(color);
    if (name.isEmpty() || !base.isValid() || width < 1 || height < 1 || width > maxSide || height > maxSide)
        return false;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fade(0, 0, width, 0);
    fade.setColorAt(0, base);
    fade.setColorAt(1, Qt::white);
    painter.fillRect(image.rect(), fade);
    painter.end();

    png.clear();
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    handOver(name);
    return true;
}

int SwatchPlugin::widgetId() const
{
    return labelId;
}

void SwatchPlugin::setCaption(const QString &text)
{
    if (label)
        label->setText(text);
}

QString SwatchPlugin::caption() const
{
    return label ? label->text() : QString();
}

// The host copies the bytes while the signal is emitted.
void SwatchPlugin::handOver(const QString &name)
{
    if (!view)
        return;
    view->setProperty("byte_array", QVariant::fromValue(static_cast<void *>(&png)));
    view->setProperty("filename", name);
    view->setProperty("work", QStringLiteral("set_drc_data"));
    Q_EMIT processWebViewSignal();
}

// The id is the view's counter plus one; the host keeps only the widget's address.
void SwatchPlugin::registerWidget(QWidget *widget)
{
    if (!view)
        return;
    const int id = view->property("widgetLastId").toInt() + 1;
    view->setProperty("widgetObj", QVariant::fromValue(widget));
    view->setProperty("widgetLastId", id);
    view->setProperty("work", QStringLiteral("register_widget"));
    Q_EMIT processWebViewSignal();
    labelId = id;
}

extern "C" Q_DECL_EXPORT OvexPlugin *getPlugin(QWebView *view, QWidget *)
{
    auto *plugin = new SwatchPlugin(view);
    plugin->attach();
    return plugin;
}
