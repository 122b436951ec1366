#pragma once

#include "ejpwrapper.h"
#include "xdynamicresource.h"

#include <QByteArray>
#include <QMap>
#include <QPointer>
#include <QString>

#include <optional>

class QObject;
class QWidget;

/// Everything a page of the application can reach by URL or by widget id, built before
/// any window: the folder the "app" scheme serves, the package reader, the store of bytes
/// that plug-ins hand over and the registry of their widgets. Views, their network
/// managers and the widget factory ask this object, never the application object.
class AppContent
{
public:
    /// One answer of find(): the bytes, and whether the page may cache them (the store's
    /// entries change under the same name, so they are never cached).
    struct Item
    {
        QByteArray data;
        bool cacheable = true;
    };

    /// `appDirectory` is the folder "app" and "xrc" serve; an empty one serves nothing.
    explicit AppContent(const QString &appDirectory = defaultAppDirectory());

    AppContent(const AppContent &) = delete;
    AppContent &operator=(const AppContent &) = delete;

    QString appDirectory() const { return m_appDirectory; }
    /// The "app" folder beside the program.
    static QString defaultAppDirectory();
    /// The file under `appDir` that a URL path names, or an empty string when the path
    /// would leave that folder; always empty when `appDir` is.
    static QString appFilePath(const QString &appDir, const QString &urlPath);

    /// The one lookup of the private schemes: "app" from the folder, "ejp" from the
    /// package, "drc" from the store, "xrc" from the folder, else the package. Nothing
    /// for any other scheme or a path none of them holds.
    std::optional<Item> find(const QString &scheme, const QString &path) const;
    /// Whether find() would answer, without reading the content.
    bool serves(const QString &scheme, const QString &path) const;

    EJPWrapper &package() { return m_package; }
    const EJPWrapper &package() const { return m_package; }
    XDynamicResource &resources() { return m_resources; }
    const XDynamicResource &resources() const { return m_resources; }

    /// Registers `widget` under `id`; id 0 takes the next value of the counter object's
    /// "widgetLastId" property (nothing is registered and 0 returned while there is no
    /// counter object). Returns the id used.
    int registerWidget(QWidget *widget, int id);
    const QMap<int, QWidget *> &widgets() const { return m_widgets; }
    /// The object whose "widgetLastId" property counts widget ids: the main view.
    void setWidgetCounter(QObject *counter);

private:
    enum class Source { None, Folder, Package, Store };
    struct Location
    {
        Source source = Source::None;
        QString file; // for Source::Folder
    };

    Location locate(const QString &scheme, const QString &path) const;
    /// The regular file that the folder serves for `path`, or an empty string: links that
    /// lead out of the folder and folders themselves are not served.
    QString servedAppFile(const QString &path) const;

    QString m_appDirectory;
    EJPWrapper m_package;
    XDynamicResource m_resources;
    QMap<int, QWidget *> m_widgets;
    QPointer<QObject> m_widgetCounter;
};
