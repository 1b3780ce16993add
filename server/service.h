#pragma once

#include "serviceconfig.h"

#include <cstddef>
#include <string>

namespace httplib {
class Server;
}
class Store;

namespace service {

constexpr std::size_t payloadLimit = 4096;
constexpr int bestCount = 100;

// Adds the routes of servicepaths.h, the 404 page, the payload limit and the 500 handler. The store and config must
// outlive the server; handlers run on the server's thread pool.
void registerRoutes(httplib::Server &server, Store &store, const ServiceConfig &config);

// Binds the listening socket with a queue as long as the system allows; port 0 takes any free port.
// Returns the port, or -1 when it cannot bind.
int bindListener(httplib::Server &server, const std::string &address, int port);

// Writes "METHOD path status" per request to stderr, the query left out.
void installRequestLog(httplib::Server &server);

} // namespace service
