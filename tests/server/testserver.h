#pragma once

#include "serviceconfig.h"
#include "store.h"

#include <httplib.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// The real service on a free loopback port with a database in a fresh temporary folder.
// `extraRoutes` may add test-only routes before the server starts.
class TestServer {
public:
    explicit TestServer(ServiceConfig config = {}, std::function<void(httplib::Server &)> extraRoutes = {});
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    // A client that sends targets exactly as given (no re-encoding), so tests control every byte.
    std::unique_ptr<httplib::Client> client() const;
    Store &store() { return *m_store; }
    std::filesystem::path folder() const { return m_folder; }
    std::filesystem::path databasePath() const { return m_folder / "scores.db"; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<Store> m_store;
    ServiceConfig m_config;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};
