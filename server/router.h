#pragma once

#include "httpmessage.h"

#include <functional>
#include <map>
#include <string>

// GET routes by exact path. Every answer has a body: unknown paths get the not-found page,
// other methods 405, and a handler that throws a bare 500 whose text says nothing of the error.
class Router {
public:
    using Handler = std::function<void(const HttpRequest &, HttpResponse &)>;
    // Builds the page for an answer a route did not write (404, 405), from the status.
    using ErrorPage = std::function<void(const HttpRequest &, HttpResponse &)>;

    void get(const std::string &path, Handler handler);
    void setErrorPage(ErrorPage page) { m_errorPage = std::move(page); }

    // Thread-safe once the routes are set.
    HttpResponse handle(const HttpRequest &request) const;

private:
    std::map<std::string, Handler, std::less<>> m_routes;
    ErrorPage m_errorPage;
};
