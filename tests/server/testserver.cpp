#include "testserver.h"

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

TestServer::TestServer(ServiceConfig config, std::function<void(Router &)> extraRoutes)
    : TestServer(Setup{std::move(config), std::move(extraRoutes), {}, std::chrono::seconds(10), {}})
{
}

TestServer::TestServer(Setup setup)
    : m_folder(makeFolder())
    , m_config(std::move(setup.config))
{
    if (setup.prepareDatabase)
        setup.prepareDatabase(databasePath());
    m_store = std::make_unique<Store>(databasePath().string());
    m_limiters = service::makeLimiters(*m_store, m_config, setup.now);
    service::registerRoutes(m_router, *m_store, m_config, m_limiters);
    if (setup.extraRoutes)
        setup.extraRoutes(m_router);

    HttpServer::Settings settings;
    settings.requestDeadline = setup.requestDeadline;
    settings.bodyLimit = service::payloadLimit;
    settings.refusalPage = service::refusalPage;
    m_server = std::make_unique<HttpServer>(settings, [this](const HttpRequest &request) { return m_router.handle(request); });
    m_port = m_server->bind(loopback, 0);
    if (m_port <= 0)
        throw std::runtime_error("cannot bind a loopback port");
    // Connections made before the loop starts wait in the listen queue, so no race with clients.
    m_thread = std::thread([this] { m_server->run(); });
}

TestServer::~TestServer()
{
    m_server->stop();
    m_thread.join();
    m_server.reset();
    m_limiters = {};
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
