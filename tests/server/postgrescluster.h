#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// A throwaway PostgreSQL 15 server for the tests: a cluster made with initdb in a fresh temporary
// folder, listening on a free port of 127.0.0.1 (and a socket in that folder), tuned for speed
// over safety (fsync off). PostgreSQL refuses to run as root, so under root the cluster belongs to
// and runs as `nobody`. The destructor stops the server and removes the folder.
class PostgresCluster {
public:
    static constexpr const char *binaries = "/usr/lib/postgresql/15/bin";
    static constexpr const char *superuser = "tarvle";

    // Throws std::runtime_error saying what is missing or what the server logged.
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    int port() const { return m_port; }
    // A libpq URI for the superuser on `database`.
    std::string uri(const std::string &database) const;
    // A new empty database, named uniquely within this cluster.
    std::string createDatabase();
    // Drops it, ending any session still connected.
    void dropDatabase(const std::string &name);
    // Runs one statement with its parameters ($1, $2, ...) on `database`; returns the rows it
    // touched (or returned). Throws std::runtime_error with the server's message.
    int execute(const std::string &database, const std::string &sql, const std::vector<std::string> &parameters = {}) const;
    // The first column of the first row of a query.
    std::string queryValue(const std::string &database, const std::string &sql,
                           const std::vector<std::string> &parameters = {}) const;

    // Stops the server (fast shutdown) and starts it again on the same port, for tests of a
    // database that goes away for a while.
    void stop();
    void start();

private:
    void run(std::vector<std::string> arguments, const std::string &what) const;
    void watchOverTheCluster();

    std::filesystem::path m_folder;
    std::filesystem::path m_data;
    int m_port = 0;
    bool m_running = false;
    int m_databases = 0;
    pid_t m_watchdog = 0;
    int m_watchdogPipe = -1;
};
