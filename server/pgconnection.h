#pragma once

#include "storeerror.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

// The connection broke (server gone, backend terminated): nothing after the last statement that
// succeeded took effect unless a COMMIT was under way. Reconnecting may help.
class ConnectionLost : public StoreError {
public:
    using StoreError::StoreError;
};

// The rows of one statement, in libpq's text format.
class PgResult {
public:
    explicit PgResult(pg_result *result);
    int rows() const;
    std::string text(int row, int column) const;
    std::int64_t integer(int row, int column) const; // throws StoreError on anything but an integer
    bool boolean(int row, int column) const;
    int affected() const; // rows an INSERT, UPDATE or DELETE touched
    std::string failure() const; // empty when the statement succeeded
    bool isSyncPoint() const;

private:
    struct Clear {
        void operator()(pg_result *result) const;
    };
    std::unique_ptr<pg_result, Clear> m_result;
};

// One statement of a pipeline: a prepared statement's name with its parameters, or SQL without.
struct PgStep {
    const char *prepared = nullptr;
    const char *sql = nullptr;
    std::vector<std::string> parameters = {};
};

// A statement prepared on every connection under its name.
struct PreparedStatement {
    const char *name;
    const char *sql;
};

// One libpq connection and the statements prepared on it. Not thread-safe: whoever holds it uses
// it from one thread at a time. Values only ever travel as parameters, never inside the SQL.
class PgConnection {
public:
    // Connects to a libpq URI; throws StoreError when the server cannot be reached.
    explicit PgConnection(const std::string &uri, std::vector<PreparedStatement> statements = {});
    ~PgConnection();
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    // Runs a prepared statement; throws ConnectionLost when the connection broke, StoreError on
    // any other failure.
    PgResult run(const char *statement, const std::vector<std::string> &parameters);
    // Runs SQL without parameters (BEGIN, COMMIT, schema text); the same failures.
    PgResult command(const char *sql);
    // Sends the steps at once and waits for their answers together: one round trip. The server
    // runs them in order, each in the transaction the ones before it left open; after one fails
    // the rest do not run. One result per step, failures in them (failure()); throws only when
    // the session failed, ConnectionLost when it broke.
    std::vector<PgResult> pipeline(const std::vector<PgStep> &steps);
    // Prepares the statements (again, after a reconnect they are gone with the old session).
    void prepare(std::vector<PreparedStatement> statements);

    bool isBroken() const;
    // A new session in place of a broken one, with the statements prepared again; throws
    // StoreError when the server still cannot be reached.
    void reconnect();

private:
    PgResult checked(pg_result *result, std::string_view what);
    void prepareAll();

    pg_conn *m_connection = nullptr;
    std::vector<PreparedStatement> m_statements;
};
