#include "httpserver.h"

#include "httpstatus.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

constexpr int minimumThreads = 4; // a handler waiting on the database must not stall the rest
constexpr auto acceptRetry = std::chrono::milliseconds(100);
// After the last answer on a closing connection: read what the client still sends for a while,
// so closing with unread bytes does not reset the connection and destroy the answer in flight.
constexpr auto lingerTime = std::chrono::seconds(2);
constexpr std::size_t lingerBytes = 64 * 1024;
constexpr unsigned http11 = 11;

asio::ip::address plainAddress(const asio::ip::address &address)
{
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    return address;
}

std::string endpointText(const tcp::endpoint &endpoint)
{
    const asio::ip::address address = plainAddress(endpoint.address());
    std::string host = address.to_string();
    if (address.is_v6())
        host = "[" + host + "]";
    return host + ":" + std::to_string(endpoint.port());
}

int refusalStatus(const beast::error_code &error)
{
    if (error == http::error::header_limit)
        return httpstatus::headersTooLarge;
    if (error == http::error::body_limit)
        return httpstatus::payloadTooLarge;
    return httpstatus::badRequest;
}

HttpResponse plainRefusal(int status)
{
    HttpResponse response;
    response.status = status;
    response.setContent("Request refused", "text/plain");
    return response;
}

HttpResponse internalError()
{
    HttpResponse response;
    response.status = httpstatus::internalError;
    response.setContent("Internal server error", "text/plain");
    return response;
}

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, const HttpServer::Settings &settings, const HttpServer::Handler &handler,
            const std::vector<asio::ip::address> &trustedProxies)
        : m_stream(std::move(socket))
        , m_settings(settings)
        , m_handler(handler)
    {
        beast::error_code error;
        const asio::ip::address peer = plainAddress(m_stream.socket().remote_endpoint(error).address());
        m_fromProxy = std::find(trustedProxies.begin(), trustedProxies.end(), peer) != trustedProxies.end();
        m_clientAddress = peer.to_string();
        m_localAddress = endpointText(m_stream.socket().local_endpoint(error));
    }

    void start()
    {
        asio::dispatch(m_stream.get_executor(), beast::bind_front_handler(&Session::readRequest, shared_from_this()));
    }

private:
    void readRequest()
    {
        m_parser.emplace();
        m_parser->header_limit(static_cast<std::uint32_t>(m_settings.headerLimit));
        m_parser->body_limit(m_settings.bodyLimit);
        // One deadline for the whole request: trickling bytes does not extend it.
        m_stream.expires_after(m_settings.requestDeadline);
        http::async_read(m_stream, m_buffer, *m_parser, beast::bind_front_handler(&Session::onRead, shared_from_this()));
    }

    void onRead(beast::error_code error, std::size_t)
    {
        static const auto &httpErrors = beast::error_code(http::error::end_of_stream).category();
        if (error == http::error::end_of_stream) {
            shutDown();
            return;
        }
        if (error) {
            // A timeout has closed the stream already; a client that went away gets nothing.
            if (error.category() == httpErrors && error != http::error::partial_message) {
                const HttpRequest request = received();
                const HttpResponse response = refusal(request, refusalStatus(error));
                if (m_settings.log)
                    m_settings.log(request, response.status);
                answer(response, http11, false);
            }
            return;
        }

        const auto &message = m_parser->get();
        const HttpRequest request = received();

        HttpResponse response;
        try {
            response = m_handler(request);
        } catch (...) {
            response = internalError();
        }
        if (m_settings.log)
            m_settings.log(request, response.status);
        answer(response, message.version(), message.keep_alive());
    }

    // What the parser holds of the request, complete or not.
    HttpRequest received() const
    {
        HttpRequest request;
        request.clientAddress = m_clientAddress;
        request.localAddress = m_localAddress;
        if (!m_parser->is_header_done())
            return request;
        const auto &message = m_parser->get();
        request.method = std::string(message.method_string());
        request.target = std::string(message.target());
        request.path = request.target.substr(0, request.target.find('?'));
        request.host = std::string(message[http::field::host]);
        if (m_fromProxy) {
            beast::error_code error;
            const auto client = asio::ip::make_address(std::string(message["X-Real-IP"]), error);
            if (!error)
                request.clientAddress = plainAddress(client).to_string();
        }
        return request;
    }

    HttpResponse refusal(const HttpRequest &request, int status) const
    {
        if (!m_settings.refusalPage)
            return plainRefusal(status);
        try {
            return m_settings.refusalPage(request, status);
        } catch (...) {
            return plainRefusal(status);
        }
    }

    void answer(const HttpResponse &response, unsigned version, bool keepAlive)
    {
        m_serializer.reset();
        m_response = {};
        m_response.version(version);
        m_response.result(static_cast<unsigned>(response.status));
        if (!response.contentType.empty())
            m_response.set(http::field::content_type, response.contentType);
        for (const auto &[name, value] : response.headers)
            m_response.set(name, value);
        m_response.body() = response.body;
        m_response.keep_alive(keepAlive);
        m_response.prepare_payload();
        m_keepAlive = keepAlive;
        m_serializer.emplace(m_response);
        writeSome();
    }

    void writeSome()
    {
        // Renewed at each step: a slow but reading client may take its time over a large file.
        m_stream.expires_after(m_settings.sendTimeout);
        http::async_write_some(m_stream, *m_serializer, beast::bind_front_handler(&Session::onWrite, shared_from_this()));
    }

    void onWrite(beast::error_code error, std::size_t)
    {
        if (error)
            return;
        if (!m_serializer->is_done()) {
            writeSome();
            return;
        }
        m_serializer.reset();
        if (m_keepAlive)
            readRequest();
        else
            shutDown();
    }

    void shutDown()
    {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        m_discard = std::make_unique<std::array<char, 4096>>();
        m_stream.expires_after(lingerTime);
        drain();
    }

    void drain()
    {
        m_stream.async_read_some(asio::buffer(*m_discard), beast::bind_front_handler(&Session::onDrain, shared_from_this()));
    }

    void onDrain(beast::error_code error, std::size_t bytes)
    {
        m_drained += bytes;
        if (error || m_drained > lingerBytes) {
            beast::error_code ignored;
            m_stream.socket().close(ignored);
            return;
        }
        drain();
    }

    beast::tcp_stream m_stream;
    const HttpServer::Settings &m_settings;
    const HttpServer::Handler &m_handler;
    bool m_fromProxy = false;
    std::string m_clientAddress;
    std::string m_localAddress;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    http::response<http::string_body> m_response;
    std::optional<http::response_serializer<http::string_body>> m_serializer;
    bool m_keepAlive = false;
    std::unique_ptr<std::array<char, 4096>> m_discard;
    std::size_t m_drained = 0;
};

int threadCount(int wanted)
{
    if (wanted > 0)
        return wanted;
    return std::max(minimumThreads, static_cast<int>(std::thread::hardware_concurrency()));
}

} // namespace

class HttpServer::Impl {
public:
    Impl(Settings settings, Handler handler)
        : m_settings(std::move(settings))
        , m_handler(std::move(handler))
        , m_threads(threadCount(m_settings.threads))
        , m_io(m_threads)
    {
        for (const std::string &proxy : m_settings.trustedProxies) {
            beast::error_code error;
            const auto address = asio::ip::make_address(proxy, error);
            if (error)
                throw std::invalid_argument("not an IP address: " + proxy);
            m_proxies.push_back(plainAddress(address));
        }
    }

    int bind(const std::string &address, int port)
    {
        if (port < 0 || port > 65535)
            return -1;
        beast::error_code error;
        tcp::endpoint endpoint(asio::ip::make_address(address, error), static_cast<unsigned short>(port));
        if (error) {
            // A host name such as "localhost": its first address.
            tcp::resolver resolver(m_io);
            const auto found = resolver.resolve(address, std::to_string(port), error);
            if (error || found.empty())
                return -1;
            endpoint = found.begin()->endpoint();
        }
        m_acceptor.open(endpoint.protocol(), error);
        if (!error)
            m_acceptor.set_option(asio::socket_base::reuse_address(true), error);
        if (!error)
            m_acceptor.bind(endpoint, error);
        // SOMAXCONN: a burst of clients waits in the queue instead of losing its SYN.
        if (!error)
            m_acceptor.listen(asio::socket_base::max_listen_connections, error);
        if (error) {
            beast::error_code ignored;
            m_acceptor.close(ignored);
            return -1;
        }
        return m_acceptor.local_endpoint().port();
    }

    void run()
    {
        if (!m_acceptor.is_open())
            return;
        accept();
        std::vector<std::thread> helpers;
        for (int i = 1; i < m_threads; ++i)
            helpers.emplace_back([this] { m_io.run(); });
        m_io.run();
        for (auto &helper : helpers)
            helper.join();
    }

    void stop() { m_io.stop(); }

private:
    void accept()
    {
        m_acceptor.async_accept(asio::make_strand(m_io), beast::bind_front_handler(&Impl::onAccept, this));
    }

    void onAccept(beast::error_code error, tcp::socket socket)
    {
        if (error == asio::error::operation_aborted)
            return;
        if (error) {
            // Out of descriptors, say: wait instead of spinning, the queue holds the clients.
            m_retry.expires_after(acceptRetry);
            m_retry.async_wait([this](beast::error_code waited) {
                if (!waited)
                    accept();
            });
            return;
        }
        beast::error_code ignored;
        // Headers and body go out in separate segments; without this Nagle and delayed ACKs add ~40 ms.
        socket.set_option(tcp::no_delay(true), ignored);
        std::make_shared<Session>(std::move(socket), m_settings, m_handler, m_proxies)->start();
        accept();
    }

    // Declared before the io_context: sessions that die with it still refer to them.
    const Settings m_settings;
    const Handler m_handler;
    const int m_threads;
    std::vector<asio::ip::address> m_proxies;
    asio::io_context m_io;
    tcp::acceptor m_acceptor{m_io};
    asio::steady_timer m_retry{m_io};
};

HttpServer::HttpServer(Settings settings, Handler handler)
    : m_impl(std::make_unique<Impl>(std::move(settings), std::move(handler)))
{
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string &address, int port)
{
    return m_impl->bind(address, port);
}

void HttpServer::run()
{
    m_impl->run();
}

void HttpServer::stop()
{
    m_impl->stop();
}
