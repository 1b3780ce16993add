#pragma once

#include <string>
#include <utility>
#include <vector>

// A request as the routes see it, free of the HTTP library's types so that only the server's
// own file includes Boost.Beast.
struct HttpRequest {
    std::string method;
    std::string target; // as sent, still percent-encoded
    std::string path;   // the target before '?'
    std::string host;   // the Host header, empty when absent
    std::string clientAddress; // the peer's IP address
    std::string localAddress;  // where the client reached us, "IP:port" ("[IP]:port" for IPv6)
};

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // beyond Content-Type and Content-Length

    void setContent(std::string content, std::string type)
    {
        body = std::move(content);
        contentType = std::move(type);
    }
};
