#pragma once

#include "serviceconfig.h"

#include <cstddef>

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

// Writes "METHOD path status" per request to stderr, the query left out.
void installRequestLog(httplib::Server &server);

} // namespace service
