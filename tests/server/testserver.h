#pragma once

#include "httpserver.h"
#include "router.h"
#include "service.h"
#include "serviceconfig.h"
#include "store.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// The real service on a free loopback port with a database in a fresh temporary folder.
class TestServer {
public:
    struct Setup {
        ServiceConfig config;
        // Test-only routes, added after the service's own.
        std::function<void(Router &)> extraRoutes;
        // Runs on the database's path before the service opens it, to leave an older database there.
        std::function<void(const std::filesystem::path &)> prepareDatabase;
        std::chrono::milliseconds requestDeadline = std::chrono::seconds(10);
        // The rate limiters' clock; empty: the system clock.
        StoreRateLimiter::Now now;
    };

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
    std::filesystem::path databasePath() const { return m_folder / "scores.db"; }

private:
    std::filesystem::path m_folder;
    ServiceConfig m_config;
    std::unique_ptr<Store> m_store;
    service::Limiters m_limiters;
    Router m_router;
    std::unique_ptr<HttpServer> m_server;
    int m_port = 0;
    std::thread m_thread;
};
