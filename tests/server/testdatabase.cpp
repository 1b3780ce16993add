#include "testdatabase.h"

#include "postgrescluster.h"

#include <sqlite3.h>

#include <stdlib.h>

#include <stdexcept>
#include <string_view>

namespace {

PostgresCluster *cluster = nullptr;

} // namespace

StoreKind testStoreKind()
{
    const char *kind = std::getenv("TARVLE_TEST_STORE");
    return kind && std::string_view(kind) == "postgresql" ? StoreKind::Postgres : StoreKind::Sqlite;
}

PostgresCluster *testCluster()
{
    return cluster;
}

void setTestCluster(PostgresCluster *testCluster)
{
    cluster = testCluster;
}

TestDatabase::TestDatabase(StoreKind kind)
    : m_kind(kind)
{
    if (m_kind == StoreKind::Postgres) {
        if (!cluster)
            throw std::runtime_error("no PostgreSQL test cluster in this process (run with TARVLE_TEST_STORE=postgresql)");
        m_name = cluster->createDatabase();
        m_location = cluster->uri(m_name);
        return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvlesolo-db-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_folder = pattern;
    m_location = (m_folder / "scores.db").string();
}

TestDatabase::~TestDatabase()
{
    if (m_kind == StoreKind::Postgres) {
        try {
            cluster->dropDatabase(m_name);
        } catch (const std::exception &) {
            // The cluster goes at the end of the run, and the database with it.
        }
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::unique_ptr<Store> TestDatabase::open(int connections) const
{
    return openStore(m_location, connections);
}

int TestDatabase::execute(const std::string &sql, const std::vector<std::string> &parameters) const
{
    if (m_kind == StoreKind::Postgres)
        return cluster->execute(m_name, sql, parameters);
    sqlite3 *db = nullptr;
    if (sqlite3_open(m_location.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + m_location);
    }
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    // SQLite numbers $1, $2, ... by their first appearance, which the tests keep in order.
    for (std::size_t i = 0; rc == SQLITE_OK && i < parameters.size(); ++i)
        rc = sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(), -1, SQLITE_TRANSIENT);
    while (rc == SQLITE_OK || rc == SQLITE_ROW)
        rc = sqlite3_step(statement);
    const std::string message = sqlite3_errmsg(db);
    const int changed = sqlite3_changes(db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sql + ": " + message);
    return changed;
}
