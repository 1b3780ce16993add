#include "service.h"

#include "httpstatus.h"
#include "pages.h"
#include "posting.h"
#include "servicepaths.h"
#include "store.h"

#include <httplib.h>

#include <sys/socket.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string_view>

namespace service {
namespace {

namespace paths = rules::servicepaths;

constexpr auto htmlType = "text/html; charset=utf-8";
constexpr auto textType = "text/plain";
constexpr auto binaryType = "application/octet-stream";

// The query as sent, still percent-encoded, so '+' and duplicate keys can be judged by us
// rather than by the library's decoding (which turns '+' into a space and merges keys).
std::string_view rawQuery(const std::string &target)
{
    const std::string_view view(target);
    const std::size_t question = view.find('?');
    if (question == std::string_view::npos)
        return {};
    std::string_view query = view.substr(question + 1);
    return query.substr(0, query.find('#'));
}

// Keeps a log line on one line and free of terminal escapes whatever the path holds.
std::string printable(std::string_view text)
{
    if (text.empty())
        return "-"; // e.g. a request line the library refused before parsing it
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

void answerPosting(const httplib::Request &request, httplib::Response &response, Store &store)
{
    const PostingCheck check = posting::checkPosting(rawQuery(request.target));
    if (!check.posting) {
        response.status = httpstatus::badRequest;
        response.set_content(pages::messagePage("Score not posted", check.error), htmlType);
        return;
    }
    store.add(*check.posting);
    response.status = httpstatus::ok;
    response.set_content(pages::messagePage("Score posted", "Thank you, your score has been posted."), htmlType);
}

// A file read whole at each request, so a new release needs no restart.
void answerFile(httplib::Response &response, const std::string &path, const char *type, const char *missing)
{
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file) {
        response.status = httpstatus::notFound;
        response.set_content(pages::messagePage("Not found", missing), htmlType);
        return;
    }
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    response.status = httpstatus::ok;
    response.set_content(std::move(bytes), type);
}

} // namespace

void registerRoutes(httplib::Server &server, Store &store, const ServiceConfig &config)
{
    server.set_payload_max_length(payloadLimit);
    // Headers and body go out in separate writes; without this, Nagle and delayed ACKs add ~40 ms.
    server.set_tcp_nodelay(true);

    server.Get(paths::Posting, [&store](const httplib::Request &request, httplib::Response &response) {
        answerPosting(request, response, store);
    });
    server.Get(paths::Scores, [&store](const httplib::Request &, httplib::Response &response) {
        response.set_content(pages::scoresPage(store.best(bestCount)), htmlType);
    });
    server.Get(paths::Version, [&config](const httplib::Request &, httplib::Response &response) {
        response.set_content(config.versionText, textType);
    });
    server.Get(paths::Installer, [&config](const httplib::Request &, httplib::Response &response) {
        answerFile(response, config.installerPath, binaryType, "The installer is not available here.");
    });
    // The installer's detached signature, made by "tarvle-tool sign", beside it.
    server.Get(paths::InstallerSignature, [&config](const httplib::Request &, httplib::Response &response) {
        const std::string path = config.installerPath.empty() ? std::string() : config.installerPath + ".sig";
        answerFile(response, path, textType, "The installer's signature is not available here.");
    });
    server.Get(paths::Home, [&config](const httplib::Request &, httplib::Response &response) {
        response.set_content(pages::homePage(!config.installerPath.empty()), htmlType);
    });
    server.Get(paths::Multiplayer, [](const httplib::Request &, httplib::Response &response) {
        response.set_content(pages::multiplayerPage(), htmlType);
    });

    // Fills in a page for errors the routes left without a body (unknown paths, oversized requests).
    const httplib::Server::HandlerWithResponse errorPage = [](const httplib::Request &, httplib::Response &response) {
        if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        if (response.status == httpstatus::notFound)
            response.set_content(pages::messagePage("Not found", "There is no such page here."), htmlType);
        else
            response.set_content(pages::messagePage("Request refused", "The request could not be handled."), htmlType);
        return httplib::Server::HandlerResponse::Handled;
    };
    server.set_error_handler(errorPage);

    // The exception text may hold database details: it goes to the log, the client gets a plain 500.
    server.set_exception_handler([](const httplib::Request &request, httplib::Response &response, std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "error in %s: %s\n", printable(request.path).c_str(), printable(e.what()).c_str());
        } catch (...) {
            std::fprintf(stderr, "error in %s: unknown exception\n", printable(request.path).c_str());
        }
        response.headers.clear();
        response.status = httpstatus::internalError;
        response.set_content("Internal server error", textType);
    });
}

int bindListener(httplib::Server &server, const std::string &address, int port)
{
    // The library listens with a queue of 5: in a burst of clients the rest lose their SYN and wait
    // out TCP's 1 s retry. Linux takes a second listen() on a listening socket as a new queue length.
    int listening = -1;
    server.set_socket_options([&listening](socket_t socket) {
        httplib::default_socket_options(socket);
        listening = socket;
    });
    const int bound = port == 0 ? server.bind_to_any_port(address) : (server.bind_to_port(address, port) ? port : -1);
    server.set_socket_options(httplib::default_socket_options);
    if (bound <= 0 || ::listen(listening, SOMAXCONN) != 0)
        return -1;
    return bound;
}

void installRequestLog(httplib::Server &server)
{
    server.set_logger([](const httplib::Request &request, const httplib::Response &response) {
        // One fprintf per line, so lines from parallel handlers do not interleave.
        std::fprintf(stderr, "%s %s %d\n", printable(request.method).c_str(), printable(request.path).c_str(), response.status);
    });
}

} // namespace service
