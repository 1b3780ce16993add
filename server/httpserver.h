#pragma once

#include "httpmessage.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// An HTTP/1.1 server on Boost.Beast over Asio: every connection is a chain of asynchronous
// operations on a few threads, so a client that sends slowly holds a socket, not a thread.
// Each request must arrive whole (headers and body) within the request deadline, counted from
// the moment the server starts waiting for it; a connection that misses it is closed. Answers
// keep the connection open when the client allows it.
class HttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest &)>;
    using Logger = std::function<void(const HttpRequest &, int status)>;
    // The answer to a request refused before any route saw it (unparsable, headers or body too
    // long); the request holds what was read of it, the addresses at least.
    using RefusalPage = std::function<HttpResponse(const HttpRequest &, int status)>;

    struct Settings {
        std::chrono::milliseconds requestDeadline = std::chrono::seconds(10);
        // An answer that makes no progress for this long (a client that stops reading) is cut.
        std::chrono::milliseconds sendTimeout = std::chrono::seconds(30);
        std::size_t headerLimit = 8192; // request line and headers, bytes
        std::size_t bodyLimit = 4096;
        int threads = 0; // 0: one per core, at least 2
        Logger log;      // called once per answered request; may be empty
        RefusalPage refusalPage; // empty: a plain-text page
    };

    // The handler is called on any of the server's threads, one call per request; it must be
    // thread-safe and should not throw (a throw answers a bare 500).
    HttpServer(Settings settings, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Binds (to an IP address, or the first address of a host name) and listens with the longest
    // queue the system allows; port 0 takes any free port.
    // Returns the port, or -1 when it cannot bind. Connections queue until run().
    int bind(const std::string &address, int port);

    // Serves until stop(); returns at once when stop() came first.
    void run();
    // Safe from any thread, before or during run().
    void stop();

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
