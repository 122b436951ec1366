#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

class QSettings;

/// The native key-value store behind the "reg" slots. This platform has no registry, so
/// each store path is an INI file under the user's configuration folder:
///
///     $XDG_CONFIG_HOME/Tressil/keystore/<path segments as folders>.ini
///     (~/.config/Tressil/keystore/... when XDG_CONFIG_HOME is unset)
///
/// The path is normalised first (leading and trailing "/" removed, "/" read as "\"), then
/// split at "\": "/HKEY_CURRENT_USER/Software/Vendor/" and "HKEY_CURRENT_USER\Software\Vendor"
/// both name HKEY_CURRENT_USER/Software/Vendor.ini. A "/" inside a key descends into
/// groups of that file. Paths that would leave the store folder (empty, "." or ".."
/// segments, a leading "\") and keys with ".." segments are refused: reads give the
/// default, an empty list or false, and writes are dropped. Every operation opens the file,
/// does its work and closes it again, which writes changes through.
class KeyValueStore
{
public:
    /// A store whose files live under `root`.
    explicit KeyValueStore(const QString &root = defaultRoot());

    /// The user's store folder (see above).
    static QString defaultRoot();
    /// The path with every leading and trailing "/" removed and the others turned into "\".
    static QString normalisedPath(const QString &path);
    /// The settings file of `path`, or "" when the path is refused.
    QString storeFile(const QString &path) const;

    void set(const QString &path, const QString &key, const QVariant &value) const;
    bool isSet(const QString &path, const QString &key) const;
    QVariant get(const QString &path, const QString &key, const QVariant &defaultValue) const;
    /// Removes `key` and everything below it; an empty key empties the whole path.
    void remove(const QString &path, const QString &key) const;
    /// Every key at every depth, levels joined by "/".
    QVariantList allKeys(const QString &path) const;
    /// The keys directly below the path.
    QVariantList keys(const QString &path) const;
    /// The groups directly below the path.
    QVariantList groups(const QString &path) const;

private:
    std::unique_ptr<QSettings> open(const QString &path, const QString &key = QString()) const;

    QString root;
};
