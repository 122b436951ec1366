#include "keyvaluestore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

bool isSafePathSegment(const QString &segment)
{
    return !segment.isEmpty() && segment != QLatin1String(".") && segment != QLatin1String("..");
}

bool isSafeKey(const QString &key)
{
    const QStringList segments = QString(key).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return !segments.contains(QStringLiteral(".."));
}

QVariantList toVariantList(const QStringList &texts)
{
    QVariantList list;
    for (const QString &text : texts)
        list << text;
    return list;
}

} // namespace

KeyValueStore::KeyValueStore(const QString &root)
    : root(root)
{ }

QString KeyValueStore::defaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/Tressil/keystore");
}

QString KeyValueStore::normalisedPath(const QString &path)
{
    int first = 0;
    int end = path.size();
    while (first < end && path.at(first) == QLatin1Char('/'))
        ++first;
    while (end > first && path.at(end - 1) == QLatin1Char('/'))
        --end;
    return path.mid(first, end - first).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString KeyValueStore::storeFile(const QString &path) const
{
    const QStringList segments = normalisedPath(path).split(QLatin1Char('\\'));
    for (const QString &segment : segments) {
        if (!isSafePathSegment(segment))
            return QString();
    }
    return root + QLatin1Char('/') + segments.join(QLatin1Char('/')) + QStringLiteral(".ini");
}

void KeyValueStore::set(const QString &path, const QString &key, const QVariant &value) const
{
    if (auto settings = open(path, key))
        settings->setValue(key, value);
}

bool KeyValueStore::isSet(const QString &path, const QString &key) const
{
    const auto settings = open(path, key);
    return settings && settings->contains(key);
}

QVariant KeyValueStore::get(const QString &path, const QString &key, const QVariant &defaultValue) const
{
    const auto settings = open(path, key);
    return settings ? settings->value(key, defaultValue) : defaultValue;
}

void KeyValueStore::remove(const QString &path, const QString &key) const
{
    if (auto settings = open(path, key))
        settings->remove(key);
}

QVariantList KeyValueStore::allKeys(const QString &path) const
{
    const auto settings = open(path);
    return settings ? toVariantList(settings->allKeys()) : QVariantList();
}

QVariantList KeyValueStore::keys(const QString &path) const
{
    const auto settings = open(path);
    return settings ? toVariantList(settings->childKeys()) : QVariantList();
}

QVariantList KeyValueStore::groups(const QString &path) const
{
    const auto settings = open(path);
    return settings ? toVariantList(settings->childGroups()) : QVariantList();
}

std::unique_ptr<QSettings> KeyValueStore::open(const QString &path, const QString &key) const
{
    const QString file = storeFile(path);
    if (file.isEmpty() || !isSafeKey(key))
        return nullptr;
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}
