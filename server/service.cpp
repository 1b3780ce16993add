#include "service.h"

#include "httpstatus.h"
#include "printable.h"
#include "pages.h"
#include "posting.h"
#include "router.h"
#include "servicepaths.h"
#include "store.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>

namespace service {
namespace {

namespace paths = rules::servicepaths;

constexpr auto htmlType = "text/html; charset=utf-8";
constexpr auto textType = "text/plain";
constexpr auto binaryType = "application/octet-stream";

// The query as sent, still percent-encoded, so '+' and duplicate keys are judged by the posting
// rules rather than by a library's decoding (which turns '+' into a space and merges keys).
std::string_view rawQuery(std::string_view target)
{
    const std::size_t question = target.find('?');
    if (question == std::string_view::npos)
        return {};
    const std::string_view query = target.substr(question + 1);
    return query.substr(0, query.find('#'));
}

std::string base(const HttpRequest &request)
{
    return pages::siteBase(request.host, request.localAddress);
}

void answerPosting(const HttpRequest &request, HttpResponse &response, Store &store, RateLimiter &limiter)
{
    const PostingCheck check = posting::checkPosting(rawQuery(request.target));
    if (!check.posting) {
        response.status = httpstatus::badRequest;
        response.setContent(pages::messagePage(base(request), "Score not posted", check.error), htmlType);
        return;
    }
    // Counted only once the posting is good, so a typo costs no share of the limit.
    if (!limiter.admit(request.clientAddress)) {
        response.status = httpstatus::tooManyRequests;
        response.headers.emplace_back("Retry-After", std::to_string(limiter.retryAfter()));
        response.setContent(pages::messagePage(base(request), "Score not posted",
                                               "Too many scores were posted from your address in the last minute. "
                                               "Please wait a minute and post again."),
                            htmlType);
        return;
    }
    store.add(*check.posting);
    response.setContent(pages::messagePage(base(request), "Score posted", "Thank you, your score has been posted."), htmlType);
}

// A file read whole at each request, so a new release needs no restart.
void answerFile(const HttpRequest &request, HttpResponse &response, const std::string &path, const char *type,
                const char *missing)
{
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file) {
        response.status = httpstatus::notFound;
        response.setContent(pages::messagePage(base(request), "Not found", missing), htmlType);
        return;
    }
    response.setContent(std::string{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()}, type);
}

void errorPage(const HttpRequest &request, HttpResponse &response)
{
    if (response.status == httpstatus::notFound)
        response.setContent(pages::messagePage(base(request), "Not found", "There is no such page here."), htmlType);
    else if (response.status == httpstatus::methodNotAllowed)
        response.setContent(pages::messagePage(base(request), "Request refused", "This page can only be fetched with GET."), htmlType);
    else
        response.setContent(pages::messagePage(base(request), "Request refused", "The request could not be handled."), htmlType);
}

} // namespace

Limiters makeLimiters(Store &store, const ServiceConfig &config, StoreRateLimiter::Now now)
{
    Limiters limiters;
    limiters.postings = std::make_unique<StoreRateLimiter>(store, "posting", config.postingLimit, now);
    limiters.tickets = std::make_unique<StoreRateLimiter>(store, "ticket", config.ticketLimit, now);
    return limiters;
}

void registerRoutes(Router &router, Store &store, const ServiceConfig &config, Limiters &limiters)
{
    RateLimiter &postings = *limiters.postings;
    router.get(paths::Posting, [&store, &postings](const HttpRequest &request, HttpResponse &response) {
        answerPosting(request, response, store, postings);
    });
    router.get(paths::Scores, [&store](const HttpRequest &request, HttpResponse &response) {
        response.setContent(pages::scoresPage(base(request), store.best(bestCount)), htmlType);
    });
    router.get(paths::Version, [&config](const HttpRequest &, HttpResponse &response) {
        response.setContent(config.versionText, textType);
    });
    router.get(paths::Installer, [&config](const HttpRequest &request, HttpResponse &response) {
        answerFile(request, response, config.installerPath, binaryType, "The installer is not available here.");
    });
    // The installer's detached signature, made by "tarvle-tool sign", beside it.
    router.get(paths::InstallerSignature, [&config](const HttpRequest &request, HttpResponse &response) {
        const std::string path = config.installerPath.empty() ? std::string() : config.installerPath + ".sig";
        answerFile(request, response, path, textType, "The installer's signature is not available here.");
    });
    router.get(paths::Home, [&config](const HttpRequest &request, HttpResponse &response) {
        response.setContent(pages::homePage(base(request), !config.installerPath.empty()), htmlType);
    });
    router.get(paths::Multiplayer, [](const HttpRequest &request, HttpResponse &response) {
        response.setContent(pages::multiplayerPage(base(request)), htmlType);
    });
    router.setErrorPage(errorPage);
}

HttpResponse refusalPage(const HttpRequest &request, int status)
{
    HttpResponse response;
    response.status = status;
    const char *message = "The request could not be read.";
    if (status == httpstatus::payloadTooLarge)
        message = "The request carries more data than a score posting needs.";
    else if (status == httpstatus::headersTooLarge)
        message = "The request's address or headers are too long.";
    response.setContent(pages::messagePage(base(request), "Request refused", message), htmlType);
    return response;
}

void logRequest(const HttpRequest &request, int status)
{
    // One fprintf per line, so lines from parallel requests do not interleave.
    std::fprintf(stderr, "%s %s %d\n", printable(request.method).c_str(), printable(request.path).c_str(), status);
}

} // namespace service
