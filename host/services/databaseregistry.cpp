#include "databaseregistry.h"

#include <QSqlQuery>
#include <QSqlRecord>

DatabaseRegistry::~DatabaseRegistry()
{
    const QStringList ids = databases.keys();
    for (const QString &id : ids)
        close(id);
}

void DatabaseRegistry::connect(const QString &file, const QString &id)
{
    close(id);
    // Dropping the old registration first replaces it without the toolkit's warning
    // about a duplicate connection name; no copy of it is left once closed.
    if (QSqlDatabase::contains(id))
        QSqlDatabase::removeDatabase(id);
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), id);
    database.setDatabaseName(file);
    database.open();
    databases.insert(id, database);
}

void DatabaseRegistry::close(const QString &id)
{
    if (!databases.contains(id))
        return;
    databases.take(id).close();
}

QVariant DatabaseRegistry::insert(const QString &statement, const QString &id)
{
    if (!databases.contains(id))
        return 0;
    const std::optional<QSqlQuery> query = run(statement, id);
    return query ? query->lastInsertId() : QVariant();
}

QVariantList DatabaseRegistry::query(const QString &statement, const QString &id)
{
    QVariantList rows;
    std::optional<QSqlQuery> query = run(statement, id);
    if (!query)
        return rows;
    const QSqlRecord columns = query->record();
    while (query->next()) {
        QVariantMap row;
        for (int i = 0; i < columns.count(); ++i)
            row.insert(columns.fieldName(i), query->value(i));
        rows << row;
    }
    return rows;
}

std::optional<QSqlQuery> DatabaseRegistry::run(const QString &statement, const QString &id) const
{
    // A closed or failed connection is skipped here: preparing on it would only warn.
    const QSqlDatabase database = databases.value(id);
    if (!database.isOpen())
        return std::nullopt;
    QSqlQuery query(database);
    if (!query.prepare(statement) || !query.exec())
        return std::nullopt;
    return query;
}
