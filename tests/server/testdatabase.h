#pragma once

#include "store.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class PostgresCluster;

enum class StoreKind { Sqlite, Postgres };

// The store the service tests run on: PostgreSQL when the environment variable TARVLE_TEST_STORE
// is "postgresql" (as for the ctest entry service_test_postgresql), else SQLite.
StoreKind testStoreKind();
// The PostgreSQL cluster of this test process, or nullptr when the tests run on SQLite.
PostgresCluster *testCluster();
void setTestCluster(PostgresCluster *cluster);

// A fresh empty database of the tests' kind, removed with the object: an SQLite file in a
// temporary folder, or a new database on the test cluster. Stores opened on it must be gone first.
class TestDatabase {
public:
    explicit TestDatabase(StoreKind kind = testStoreKind());
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    StoreKind kind() const { return m_kind; }
    // What openStore() takes: the file's path or a connection URI.
    const std::string &location() const { return m_location; }
    // The database's name on the test cluster (PostgreSQL only).
    const std::string &name() const { return m_name; }
    // A store of its own on the database, as another instance of the service would have.
    std::unique_ptr<Store> open(int connections = Store::defaultConnections) const;
    // One statement straight on the database, behind every store's back; parameters are $1, $2,
    // ... in order. Returns the rows it changed. Throws std::runtime_error on failure.
    int execute(const std::string &sql, const std::vector<std::string> &parameters = {}) const;

private:
    StoreKind m_kind;
    std::filesystem::path m_folder; // SQLite
    std::string m_name;             // PostgreSQL
    std::string m_location;
};
