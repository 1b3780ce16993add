#include "rawconnection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

sockaddr_in loopbackAddress(const std::string &ip, int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("bad address " + ip);
    return address;
}

int remainingMs(std::chrono::steady_clock::time_point until)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

RawConnection::RawConnection(int port, const std::string &source)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const int one = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (!source.empty()) {
        const sockaddr_in from = loopbackAddress(source, 0);
        if (::bind(m_fd, reinterpret_cast<const sockaddr *>(&from), sizeof from) != 0)
            throw std::runtime_error("bind " + source + ": " + std::strerror(errno));
    }
    const sockaddr_in to = loopbackAddress("127.0.0.1", port);
    if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&to), sizeof to) != 0) {
        const int error = errno;
        ::close(m_fd);
        throw std::runtime_error(std::string("connect: ") + std::strerror(error));
    }
}

RawConnection::~RawConnection()
{
    ::close(m_fd);
}

bool RawConnection::send(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd entry{m_fd, POLLOUT, 0};
            if (::poll(&entry, 1, 5000) <= 0)
                return false;
            continue;
        }
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool RawConnection::fill(std::chrono::steady_clock::time_point until)
{
    if (m_closed)
        return false;
    pollfd entry{m_fd, POLLIN, 0};
    if (::poll(&entry, 1, remainingMs(until)) <= 0)
        return false;
    char buffer[8192];
    const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    if (got <= 0) {
        m_closed = true;
        return false;
    }
    m_pending.append(buffer, static_cast<std::size_t>(got));
    return true;
}

std::optional<RawResponse> RawConnection::read(std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::size_t headerEnd;
    while ((headerEnd = m_pending.find("\r\n\r\n")) == std::string::npos) {
        if (!fill(until))
            return std::nullopt;
    }
    RawResponse response;
    const std::string head = m_pending.substr(0, headerEnd);
    std::size_t lineEnd = head.find("\r\n");
    response.statusLine = head.substr(0, lineEnd);
    if (response.statusLine.size() < 12 || !response.statusLine.starts_with("HTTP/1."))
        return std::nullopt;
    response.status = std::stoi(response.statusLine.substr(9, 3));
    while (lineEnd != std::string::npos) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            return std::nullopt;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        response.headers[lower(line.substr(0, colon))] = value;
    }
    const auto length = response.headers.find("content-length");
    const std::size_t bodySize = length == response.headers.end() ? 0 : std::stoul(length->second);
    while (m_pending.size() < headerEnd + 4 + bodySize) {
        if (!fill(until))
            return std::nullopt;
    }
    response.body = m_pending.substr(headerEnd + 4, bodySize);
    m_pending.erase(0, headerEnd + 4 + bodySize);
    return response;
}

bool RawConnection::closedWithin(std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!m_closed) {
        if (!fill(until) && !m_closed)
            return false;
    }
    return true;
}

std::optional<RawResponse> rawRequest(int port, std::string_view request, const std::string &source,
                                      std::chrono::milliseconds timeout)
{
    RawConnection connection(port, source);
    if (!connection.send(request))
        return std::nullopt;
    return connection.read(timeout);
}
