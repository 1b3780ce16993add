#include "router.h"

#include "httpstatus.h"
#include "printable.h"

#include <cstdio>
#include <exception>

void Router::get(const std::string &path, Handler handler)
{
    m_routes[path] = std::move(handler);
}

HttpResponse Router::handle(const HttpRequest &request) const
{
    HttpResponse response;
    const auto route = m_routes.find(request.path);
    try {
        if (route == m_routes.end()) {
            response.status = httpstatus::notFound;
        } else if (request.method != "GET") {
            response.status = httpstatus::methodNotAllowed;
            response.headers.emplace_back("Allow", "GET");
        } else {
            route->second(request, response);
        }
        if (response.body.empty() && response.status != httpstatus::ok && m_errorPage)
            m_errorPage(request, response);
        return response;
    } catch (const std::exception &e) {
        // The text may hold database details: it goes to the log, never to the client.
        std::fprintf(stderr, "error in %s: %s\n", printable(request.path).c_str(), printable(e.what()).c_str());
    } catch (...) {
        std::fprintf(stderr, "error in %s: unknown exception\n", printable(request.path).c_str());
    }
    HttpResponse failure;
    failure.status = httpstatus::internalError;
    failure.setContent("Internal server error", "text/plain");
    return failure;
}
