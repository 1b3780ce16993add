#include "store.h"

#include "postgresstore.h"
#include "sqlitestore.h"

bool isPostgresUri(std::string_view database)
{
    return database.starts_with("postgresql://") || database.starts_with("postgres://");
}

std::unique_ptr<Store> openStore(const std::string &database, int connections)
{
    if (isPostgresUri(database))
        return std::make_unique<PostgresStore>(database, connections);
    return std::make_unique<SqliteStore>(database);
}
