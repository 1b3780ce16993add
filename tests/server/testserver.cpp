#include "testserver.h"

#include "service.h"

#include <stdexcept>

#include <stdlib.h>

namespace {

constexpr auto loopback = "127.0.0.1";
constexpr int clientTimeoutSeconds = 60;

std::filesystem::path makeFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvlesolo-service-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

} // namespace

TestServer::TestServer(ServiceConfig config, std::function<void(httplib::Server &)> extraRoutes)
    : m_folder(makeFolder())
    , m_store(std::make_unique<Store>(databasePath().string()))
    , m_config(std::move(config))
{
    service::registerRoutes(m_server, *m_store, m_config);
    if (extraRoutes)
        extraRoutes(m_server);
    m_port = service::bindListener(m_server, loopback, 0);
    if (m_port <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    // Connections made before the loop starts wait in the listen backlog, so no race with clients.
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // stop() is ignored until the loop runs; wait for it so the destructor always stops it.
    while (!m_server.is_running())
        std::this_thread::yield();
}

TestServer::~TestServer()
{
    m_server.stop();
    m_thread.join();
    m_store.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::unique_ptr<httplib::Client> TestServer::client() const
{
    auto client = std::make_unique<httplib::Client>(loopback, m_port);
    client->set_url_encode(false);
    client->set_connection_timeout(clientTimeoutSeconds, 0);
    client->set_read_timeout(clientTimeoutSeconds, 0);
    client->set_write_timeout(clientTimeoutSeconds, 0);
    return client;
}
