#pragma once

#include "serviceconfig.h"
#include "store.h"

#include <string>
#include <vector>

// The command line of tarvlesolo-service.
struct Options {
    static constexpr int defaultRequestDeadline = 10; // seconds
    static constexpr int defaultDbConnections = Store::defaultConnections;

    std::string bindAddress = "127.0.0.1";
    int port = 8080;
    std::string databasePath = "tarvlesolo.db";
    std::string versionText = "1.0.0";
    std::string installerPath;
    int postingLimit = ServiceConfig::defaultPostingLimit;
    int ticketLimit = ServiceConfig::defaultTicketLimit;
    int minGameSeconds = ServiceConfig::defaultMinGameSeconds;
    int requestDeadline = defaultRequestDeadline;
    int dbConnections = defaultDbConnections; // PostgreSQL's pool; SQLite keeps one connection
    int threads = 0; // 0: automatic, see serverThreads()
    std::vector<std::string> trustedProxies;
    bool help = false;
};

// Either options or what was wrong with the arguments.
struct OptionsCheck {
    Options options;
    std::string error; // empty when the arguments were good
};

namespace options {

// Reads the arguments after the program name.
OptionsCheck parse(const std::vector<std::string> &arguments);
std::string usage(const std::string &program);
// The HTTP server's threads: --threads when given; else 0 (the server's own choice, one per core
// and at least 4) on SQLite, where one connection serialises every query anyway; on PostgreSQL
// at least one per pooled connection, since a handler blocks while its query or commit waits
// on the database, and the pool can only be kept busy by as many threads.
int serverThreads(const Options &options, int cores);

} // namespace options
