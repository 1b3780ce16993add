#pragma once

#include "httpmessage.h"
#include "ratelimiter.h"
#include "serviceconfig.h"

#include <cstddef>
#include <memory>
#include <string>

class Router;
class Store;

namespace service {

constexpr std::size_t payloadLimit = 4096;
constexpr int bestCount = 100;

// The per-address limits of the routes, counted in the store's database.
struct Limiters {
    std::unique_ptr<RateLimiter> postings;
    std::unique_ptr<RateLimiter> tickets;
};

// `now` empty: the system clock.
Limiters makeLimiters(Store &store, const ServiceConfig &config, StoreRateLimiter::Now now = {});

// Adds the routes of servicepaths.h and the pages for 404 and 405. The store, config and
// limiters must outlive the router; its handlers may run on several threads at once.
void registerRoutes(Router &router, Store &store, const ServiceConfig &config, Limiters &limiters);

// The HTML page for a request the server refused before routing it (400, 413, 431).
HttpResponse refusalPage(const HttpRequest &request, int status);

// Writes "METHOD path status" to stderr, the query left out.
void logRequest(const HttpRequest &request, int status);

} // namespace service
