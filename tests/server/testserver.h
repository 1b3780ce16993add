#pragma once

#include "httpserver.h"
#include "router.h"
#include "service.h"
#include "serviceconfig.h"
#include "store.h"
#include "testdatabase.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The real service on a free loopback port with a fresh database of the tests' kind (SQLite or
// PostgreSQL, see testdatabase.h), or with another server's, as a second instance of the service.
class TestServer {
public:
    struct Setup {
        ServiceConfig config;
        // Test-only routes, added after the service's own.
        std::function<void(Router &)> extraRoutes;
        // Runs on the database's path before the service opens it, to leave an older database there
        // (SQLite only).
        std::function<void(const std::filesystem::path &)> prepareDatabase;
        // The database of another server, to share; nullptr: a fresh one of this server's own.
        const TestDatabase *sharedDatabase = nullptr;
        std::chrono::milliseconds requestDeadline = std::chrono::seconds(10);
        // The rate limiters' clock; empty: the system clock.
        StoreRateLimiter::Now now;
        std::vector<std::string> trustedProxies;
    };

    // Games may be posted at once after their ticket, and no rate limit applies.
    static Setup openGames();

    explicit TestServer(ServiceConfig config = {}, std::function<void(Router &)> extraRoutes = {});
    explicit TestServer(Setup setup);
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    // A client that sends targets exactly as given (no re-encoding), so tests control every byte.
    std::unique_ptr<httplib::Client> client() const;
    int port() const { return m_port; }
    Store &store() { return *m_store; }
    std::filesystem::path folder() const { return m_folder; }
    const TestDatabase &database() const { return *m_database; }

private:
    std::filesystem::path m_folder;
    ServiceConfig m_config;
    std::unique_ptr<TestDatabase> m_ownDatabase;
    const TestDatabase *m_database = nullptr;
    std::unique_ptr<Store> m_store;
    service::Limiters m_limiters;
    Router m_router;
    std::unique_ptr<HttpServer> m_server;
    int m_port = 0;
    std::thread m_thread;
};

// What `threads` clients sending one posting at the same moment heard, client t sending to
// servers[t % servers.size()]: answers 200, and answers 409 "This game was already posted.".
struct PostingRace {
    int stored = 0;
    int refusedAsPosted = 0;
};
PostingRace postAtOnce(const std::vector<TestServer *> &servers, const std::string &target, int threads);
