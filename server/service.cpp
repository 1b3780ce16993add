#include "service.h"

#include "builtinwords.h"
#include "dailyboard.h"
#include "dealdice.h"
#include "gamecheck.h"
#include "httpstatus.h"
#include "printable.h"
#include "pages.h"
#include "posting.h"
#include "router.h"
#include "servicepaths.h"
#include "store.h"
#include "storeerror.h"
#include "tickets.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>

namespace service {
namespace {

namespace paths = rules::servicepaths;

constexpr auto htmlType = "text/html; charset=utf-8";
constexpr auto textType = "text/plain";
// The one-line answers the game shows as they are.
constexpr auto lineType = "text/plain; charset=utf-8";
constexpr auto tooManyPostings = "Too many scores were posted from your address in the last minute. "
                                 "Please wait a minute and post again.";
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

std::int64_t unixNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string isoDate(std::chrono::year_month_day day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()), static_cast<unsigned>(day.month()),
                  static_cast<unsigned>(day.day()));
    return text;
}

void refuseLine(HttpResponse &response, int status, std::string line)
{
    response.status = status;
    response.setContent(std::move(line), lineType);
}

// A posting with game= and words=: replayed against its ticket, and stored as verified only
// when every check passes. Each refusal is one line and stores nothing.
void answerVerified(const HttpRequest &request, HttpResponse &response, const PostingCheck &check, Store &store,
                    const ServiceConfig &config, RateLimiter &limiter)
{
    if (!check.posting || !check.claim)
        return refuseLine(response, httpstatus::badRequest, check.error);
    const Posting &posted = *check.posting;
    const GameClaim &claim = *check.claim;

    const auto ticket = store.ticket(claim.game);
    if (!ticket)
        return refuseLine(response, httpstatus::notFound, "Unknown game.");
    if (ticket->used)
        return refuseLine(response, httpstatus::conflict, "This game was already posted.");
    const std::int64_t age = unixNow() - ticket->issuedAt;
    if (age < config.minGameSeconds)
        return refuseLine(response, httpstatus::forbidden, "Posted too early.");
    if (age > tickets::maxGameSeconds)
        return refuseLine(response, httpstatus::gone, "Posted too late.");

    // Before the replay, the one costly step, so that replays of made-up games count.
    if (!limiter.admit(request.clientAddress)) {
        response.headers.emplace_back("Retry-After", std::to_string(limiter.retryAfter()));
        return refuseLine(response, httpstatus::tooManyRequests, tooManyPostings);
    }
    const rules::CodeReading code = rules::readBoardCode(ticket->code);
    if (!code.seed)
        throw StoreError("ticket " + ticket->id + " holds no board code");
    const std::string problem = gamecheck::problem(rules::dealFromSeed(*code.seed), claim.words, posted.score,
                                                   rules::builtInWords());
    if (!problem.empty())
        return refuseLine(response, httpstatus::unprocessable, problem);

    // Another posting of the ticket may have got there since it was read.
    if (!store.addVerified(posted, claim.game))
        return refuseLine(response, httpstatus::conflict, "This game was already posted.");
    response.setContent(pages::messagePage(base(request), "Score posted", "Thank you, your score has been checked and posted."),
                        htmlType);
}

void answerPosting(const HttpRequest &request, HttpResponse &response, Store &store, const ServiceConfig &config,
                   RateLimiter &limiter)
{
    const PostingCheck check = posting::checkPosting(rawQuery(request.target));
    if (check.claimsGame)
        return answerVerified(request, response, check, store, config, limiter);
    if (!check.posting) {
        response.status = httpstatus::badRequest;
        response.setContent(pages::messagePage(base(request), "Score not posted", check.error), htmlType);
        return;
    }
    // Counted only once the posting is good, so a typo costs no share of the limit.
    if (!limiter.admit(request.clientAddress)) {
        response.status = httpstatus::tooManyRequests;
        response.headers.emplace_back("Retry-After", std::to_string(limiter.retryAfter()));
        response.setContent(pages::messagePage(base(request), "Score not posted", tooManyPostings), htmlType);
        return;
    }
    store.add(*check.posting);
    response.setContent(pages::messagePage(base(request), "Score posted", "Thank you, your score has been posted."), htmlType);
}

// Hands out a ticket: a fresh random board, or today's with daily=1.
void answerTicket(const HttpRequest &request, HttpResponse &response, Store &store, RateLimiter &limiter,
                  std::atomic<std::int64_t> &lastPurgeHour)
{
    const std::string_view query = rawQuery(request.target);
    const std::string dailyOn = std::string(rules::servicepaths::DailyKey) + "=1";
    const std::string dailyOff = std::string(rules::servicepaths::DailyKey) + "=0";
    if (!query.empty() && query != dailyOn && query != dailyOff)
        return refuseLine(response, httpstatus::badRequest, "A ticket is asked for with nothing or with daily=1.");
    if (!limiter.admit(request.clientAddress)) {
        response.headers.emplace_back("Retry-After", std::to_string(limiter.retryAfter()));
        return refuseLine(response, httpstatus::tooManyRequests,
                          "Too many games were started from your address in the last minute. Please wait a minute.");
    }

    Ticket ticket;
    ticket.id = tickets::newGameId();
    ticket.issuedAt = unixNow();
    if (query == dailyOn) {
        const auto today = rules::utcToday();
        ticket.code = rules::boardCode(rules::dailySeed(today));
        ticket.day = isoDate(today);
    } else {
        ticket.code = rules::boardCode(tickets::randomSeed());
    }
    store.addTicket(ticket);

    // Once an hour, the tickets nobody can post any more go.
    const std::int64_t hour = ticket.issuedAt / 3600;
    std::int64_t last = lastPurgeHour.load();
    if (last != hour && lastPurgeHour.compare_exchange_strong(last, hour))
        store.forgetUnusedTickets(ticket.issuedAt - tickets::keepUnusedSeconds);

    response.setContent(ticket.id + " " + ticket.code, lineType);
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
    RateLimiter &tickets = *limiters.tickets;
    router.get(paths::Posting, [&store, &config, &postings](const HttpRequest &request, HttpResponse &response) {
        answerPosting(request, response, store, config, postings);
    });
    auto lastPurgeHour = std::make_shared<std::atomic<std::int64_t>>(-1);
    router.get(paths::Ticket, [&store, &tickets, lastPurgeHour](const HttpRequest &request, HttpResponse &response) {
        answerTicket(request, response, store, tickets, *lastPurgeHour);
    });
    router.get(paths::Scores, [&store](const HttpRequest &request, HttpResponse &response) {
        const auto today = rules::utcToday();
        pages::ScoreLists lists;
        lists.verified = store.best(Ranking::Verified, bestCount);
        lists.todayCode = rules::boardCode(rules::dailySeed(today));
        lists.today = store.bestOfDay(isoDate(today), bestCount);
        lists.unverified = store.best(Ranking::Unverified, bestCount);
        response.setContent(pages::scoresPage(base(request), lists), htmlType);
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
