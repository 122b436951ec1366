#include "appcontent.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QVariant>

AppContent::AppContent(const QString &appDirectory)
    : m_appDirectory(appDirectory)
{ }

QString AppContent::defaultAppDirectory()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/app"));
}

QString AppContent::appFilePath(const QString &appDir, const QString &urlPath)
{
    if (appDir.isEmpty())
        return QString();
    QString inside = QDir::cleanPath(appDir);
    if (!inside.endsWith(QLatin1Char('/')))
        inside += QLatin1Char('/');
    // Resolving ".." lexically before the check keeps requests inside the folder.
    const QString file = QDir::cleanPath(inside + urlPath);
    if (!file.startsWith(inside) || file.size() == inside.size())
        return QString();
    return file;
}

std::optional<AppContent::Item> AppContent::find(const QString &scheme, const QString &path) const
{
    const Location location = locate(scheme, path);
    switch (location.source) {
    case Source::Folder: {
        // A file that vanished or cannot be read since locate() is served empty.
        QFile in(location.file);
        return Item {in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray(), true};
    }
    case Source::Package:
        return Item {m_package.data(path), true};
    case Source::Store:
        return Item {m_resources.get(path), false};
    case Source::None:
        break;
    }
    return std::nullopt;
}

bool AppContent::serves(const QString &scheme, const QString &path) const
{
    return locate(scheme, path).source != Source::None;
}

AppContent::Location AppContent::locate(const QString &scheme, const QString &path) const
{
    const bool app = scheme == QLatin1String("app");
    const bool xrc = scheme == QLatin1String("xrc");
    if (app || xrc) {
        const QString file = servedAppFile(path);
        if (!file.isEmpty())
            return {Source::Folder, file};
    }
    if ((xrc || scheme == QLatin1String("ejp")) && m_package.contains(path))
        return {Source::Package, QString()};
    if (scheme == QLatin1String("drc") && m_resources.contains(path))
        return {Source::Store, QString()};
    return {};
}

QString AppContent::servedAppFile(const QString &path) const
{
    const QString file = appFilePath(m_appDirectory, path);
    if (file.isEmpty())
        return QString();
    // The lexical check above keeps ".." inside; a symbolic link could still lead out.
    const QFileInfo target(QFileInfo(file).canonicalFilePath());
    const QString folder = QFileInfo(m_appDirectory).canonicalFilePath() + QLatin1Char('/');
    if (!target.isFile() || !target.filePath().startsWith(folder))
        return QString();
    return target.filePath();
}

int AppContent::registerWidget(QWidget *widget, int id)
{
    if (id == 0) {
        if (!m_widgetCounter)
            return 0;
        id = m_widgetCounter->property("widgetLastId").toInt() + 1;
        m_widgetCounter->setProperty("widgetLastId", id);
    }
    m_widgets.insert(id, widget);
    return id;
}

void AppContent::setWidgetCounter(QObject *counter)
{
    m_widgetCounter = counter;
}
