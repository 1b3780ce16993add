#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// One response as read off the wire; header names in lower case.
struct RawResponse {
    std::string statusLine;
    int status = 0;
    std::map<std::string, std::string> headers;
    std::string body;
};

// A TCP connection to the loopback service made by hand, for the clients a library will not
// be: slow ones, ones from another loopback address (127.0.0.2, its own client address), and
// ones holding one connection for many requests. Every wait is bounded.
class RawConnection {
public:
    // Throws when it cannot connect; `source` empty: the system picks 127.0.0.1.
    explicit RawConnection(int port, const std::string &source = {});
    ~RawConnection();
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    // False once the connection is gone. Never raises SIGPIPE, never blocks for long.
    bool send(std::string_view bytes);
    // The next response (a Content-Length body), or nullopt on close, garbage or timeout.
    std::optional<RawResponse> read(std::chrono::milliseconds timeout);
    // True when the server has closed the connection (end of stream or reset) within timeout.
    bool closedWithin(std::chrono::milliseconds timeout);

private:
    bool fill(std::chrono::steady_clock::time_point until);

    int m_fd = -1;
    std::string m_pending;
    bool m_closed = false;
};

// Sends one request and reads its answer on a connection of its own.
std::optional<RawResponse> rawRequest(int port, std::string_view request, const std::string &source = {},
                                      std::chrono::milliseconds timeout = std::chrono::seconds(30));
