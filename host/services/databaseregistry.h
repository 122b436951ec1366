#pragma once

#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>

/// SQLite connections opened by page script under ids of its choosing. Each id is also the
/// connection's toolkit-wide name, so ids are shared by every registry of the process.
class DatabaseRegistry
{
public:
    DatabaseRegistry() = default;
    /// Closes every connection still registered.
    ~DatabaseRegistry();

    DatabaseRegistry(const DatabaseRegistry &) = delete;
    DatabaseRegistry &operator=(const DatabaseRegistry &) = delete;

    /// Closes `id` first, then opens `file` (created when missing) under `id`. A failed
    /// open is kept all the same: every later statement on it fails.
    void connect(const QString &file, const QString &id);
    /// Closes and forgets `id`; unknown ids are ignored.
    void close(const QString &id);
    /// Runs one statement and returns the connection's last-insert id after it (null when
    /// there has been none), an invalid variant when the statement failed, and the integer
    /// 0 for an id that is not connected.
    QVariant insert(const QString &statement, const QString &id);
    /// Runs one statement and returns its rows, each a map from column name to value (a
    /// later column wins over an earlier one of the same name); empty when the id is not
    /// connected, the statement fails or yields no result set.
    QVariantList query(const QString &statement, const QString &id);

    bool contains(const QString &id) const { return databases.contains(id); }

private:
    // The executed statement, or nothing when the id is not open or the statement failed.
    std::optional<QSqlQuery> run(const QString &statement, const QString &id) const;

    QMap<QString, QSqlDatabase> databases;
};
