#include "firstschema.h"
#include "httpstatus.h"
#include "rawconnection.h"
#include "servicepaths.h"
#include "testserver.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace paths = rules::servicepaths;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr auto htmlType = "text/html; charset=utf-8";
constexpr auto answerWait = 30s; // only a failing test waits this long

std::string postTarget(std::string_view encodedName, int score)
{
    return std::string(paths::Posting) + "?name=" + std::string(encodedName) + "&date=7/4/13&score=" + std::to_string(score);
}

std::string get(std::string_view target, std::string_view extraHeaders = "Host: tarvle.test\r\n")
{
    return "GET " + std::string(target) + " HTTP/1.1\r\n" + std::string(extraHeaders) + "\r\n";
}

// A wall clock for the limiters that stands still in the middle of a minute until moved, so no
// test straddles a minute by chance.
struct StillClock {
    std::atomic<long long> seconds{1'000'000 * 60 + 30};
    StoreRateLimiter::Now function()
    {
        return [this] { return std::chrono::system_clock::time_point(std::chrono::seconds(seconds.load())); };
    }
};

std::string header(const RawResponse &response, const std::string &lowerName)
{
    const auto found = response.headers.find(lowerName);
    return found == response.headers.end() ? std::string() : found->second;
}

double milliseconds(SteadyClock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

TEST(RateLimits, postingsPastTheLimitAreAnswered429AndNotStored)
{
    // With --posting-limit 3, a fourth good posting in the same minute is refused with 429 and
    // Retry-After, stores nothing, and the next minute admits postings again.
    StillClock clock;
    TestServer::Setup setup;
    setup.config.postingLimit = 3;
    setup.now = clock.function();
    TestServer server(setup);
    auto client = server.client();

    for (int i = 0; i < 3; ++i) {
        const auto answer = client->Get(postTarget("Ann", i));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, httpstatus::ok) << i;
    }
    for (int i = 0; i < 2; ++i) {
        const auto refused = client->Get(postTarget("Ann", 99));
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, httpstatus::tooManyRequests);
        EXPECT_EQ(refused->get_header_value("Content-Type"), htmlType);
        EXPECT_EQ(refused->get_header_value("Retry-After"), "30");
        EXPECT_NE(refused->body.find("Too many scores"), std::string::npos);
    }
    EXPECT_EQ(server.store().count(), 3);

    // Bad postings are still told what is wrong with them, and the list is not limited.
    EXPECT_EQ(client->Get(postTarget("", 1))->status, httpstatus::badRequest);
    EXPECT_EQ(client->Get(paths::Scores)->status, httpstatus::ok);

    clock.seconds += 30;
    EXPECT_EQ(client->Get(postTarget("Ann", 4))->status, httpstatus::ok);
    EXPECT_EQ(server.store().count(), 4);
}

TEST(RateLimits, eachClientAddressHasALimitOfItsOwn)
{
    // Clients on 127.0.0.1, 127.0.0.2 and 127.0.0.3 each get their own two postings a minute.
    StillClock clock;
    TestServer::Setup setup;
    setup.config.postingLimit = 2;
    setup.now = clock.function();
    TestServer server(setup);

    for (const char *source : {"127.0.0.1", "127.0.0.2"}) {
        RawConnection connection(server.port(), source);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(connection.send(get(postTarget("Ann", i))));
            const auto answer = connection.read(answerWait);
            ASSERT_TRUE(answer) << source;
            EXPECT_EQ(answer->status, i < 2 ? httpstatus::ok : httpstatus::tooManyRequests) << source << " " << i;
        }
    }
    const auto third = rawRequest(server.port(), get(postTarget("Bob", 7)), "127.0.0.3");
    ASSERT_TRUE(third);
    EXPECT_EQ(third->status, httpstatus::ok);
    EXPECT_EQ(server.store().count(), 5);
}

TEST(RateLimits, zeroTurnsTheLimitOff)
{
    // --posting-limit 0 is for load tests: 50 postings from one address on one connection all stored.
    TestServer::Setup setup;
    setup.config.postingLimit = 0;
    TestServer server(setup);
    RawConnection connection(server.port());
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(connection.send(get(postTarget("load", i))));
        const auto answer = connection.read(answerWait);
        ASSERT_TRUE(answer) << i;
        ASSERT_EQ(answer->status, httpstatus::ok) << i;
    }
    EXPECT_EQ(server.store().count(), 50);
}

TEST(RateLimits, aFloodFromOneAddressCannotPushAnHonestScoreOffThePage)
{
    // 100 postings of the top score from one address: with the default limit only that many are
    // stored, and an honest score posted from elsewhere stays on the list.
    StillClock clock;
    TestServer::Setup setup;
    setup.now = clock.function();
    TestServer server(setup);
    ASSERT_EQ(server.client()->Get(postTarget("Honest", 57))->status, httpstatus::ok);

    RawConnection flood(server.port(), "127.0.0.2");
    int stored = 0;
    int refused = 0;
    const auto start = SteadyClock::now();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(flood.send(get(postTarget("Flood", 100000))));
        const auto answer = flood.read(answerWait);
        ASSERT_TRUE(answer) << i;
        stored += answer->status == httpstatus::ok ? 1 : 0;
        refused += answer->status == httpstatus::tooManyRequests ? 1 : 0;
    }
    std::printf("100 flood postings answered in %.1f ms: %d stored, %d refused\n", milliseconds(SteadyClock::now() - start),
                stored, refused);
    EXPECT_EQ(stored, ServiceConfig::defaultPostingLimit);
    EXPECT_EQ(refused, 100 - ServiceConfig::defaultPostingLimit);
    EXPECT_EQ(server.store().count(), 1 + ServiceConfig::defaultPostingLimit);
    EXPECT_NE(server.client()->Get(paths::Scores)->body.find("<td>Honest</td>"), std::string::npos);
}

TEST(Names, blankInvisibleAndDirectionChangingNamesAreRefusedAndNothingIsStored)
{
    // Over the wire: " ", U+00A0, U+200B alone, U+202E and U+2066 in a name are 400 with a page
    // saying why; the other text on the page stays escaped.
    TestServer server;
    auto client = server.client();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"%20", "empty"},
        {"%20%20%20", "empty"},
        {"%C2%A0", "empty"},
        {"%E2%80%8B", "invisible"},
        {"%20%E2%80%8B%E2%81%A0", "invisible"},
        {"%E2%80%AEnnA", "direction"},
        {"Ann%E2%81%A6Lee", "direction"},
        {"%3Cb%3E%E2%80%AE", "direction"},
    };
    for (const auto &[name, reason] : cases) {
        const auto answer = client->Get(postTarget(name, 1));
        ASSERT_TRUE(answer) << name;
        EXPECT_EQ(answer->status, httpstatus::badRequest) << name;
        EXPECT_EQ(answer->get_header_value("Content-Type"), htmlType) << name;
        EXPECT_NE(answer->body.find(reason), std::string::npos) << name << "\n" << answer->body;
        EXPECT_EQ(answer->body.find("<b>"), std::string::npos) << name;
    }
    EXPECT_EQ(server.store().count(), 0);

    // Good names are stored trimmed and shown escaped.
    ASSERT_EQ(client->Get(postTarget("%20%20%3Cb%3EAnn%20%26%20Lee%3C%2Fb%3E%20", 5))->status, httpstatus::ok);
    ASSERT_EQ(client->Get(postTarget("%D7%A9%D7%9C%D7%95%D7%9D", 4))->status, httpstatus::ok);
    EXPECT_EQ(server.store().count(), 2);
    EXPECT_EQ(server.store().best(1)[0].name, "<b>Ann & Lee</b>");
    const auto list = client->Get(paths::Scores);
    ASSERT_TRUE(list);
    EXPECT_NE(list->body.find("<td>&lt;b&gt;Ann &amp; Lee&lt;/b&gt;</td>"), std::string::npos);
    EXPECT_EQ(list->body.find("<b>Ann"), std::string::npos);
    EXPECT_NE(list->body.find("<td>\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D</td>"), std::string::npos);
}

TEST(Links, pagesLinkTheHostTheClientAskedForOrTheAddressItReached)
{
    // The home link is http://HOST/ with HOST from the Host header; with no usable Host header
    // it is the service's own address and port. Every page's links are absolute.
    TestServer server;
    const std::string own = "http://127.0.0.1:" + std::to_string(server.port());

    const auto named = rawRequest(server.port(), get(paths::Scores, "Host: scores.example.org:8080\r\n"));
    ASSERT_TRUE(named);
    EXPECT_NE(named->body.find("href=\"http://scores.example.org:8080/\""), std::string::npos) << named->body;

    // The game's own library sends Host with the port.
    const auto library = server.client()->Get(paths::Scores);
    ASSERT_TRUE(library);
    EXPECT_NE(library->body.find("href=\"" + own + "/\""), std::string::npos);

    const auto noHost = rawRequest(server.port(), "GET / HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(noHost);
    EXPECT_EQ(noHost->status, httpstatus::ok);
    EXPECT_NE(noHost->body.find("href=\"" + own + "/counter/tarvlesolo.shtml\""), std::string::npos) << noHost->body;

    const auto hostile = rawRequest(server.port(), get(paths::Multiplayer, "Host: \"><script>alert(1)</script>\r\n"));
    ASSERT_TRUE(hostile);
    EXPECT_EQ(hostile->body.find("<script>"), std::string::npos);
    EXPECT_NE(hostile->body.find("href=\"" + own + "/\""), std::string::npos);

    for (const std::string &target : {std::string(paths::Home), std::string(paths::Multiplayer), std::string(paths::Scores),
                                      postTarget("Ann", 1), postTarget("", 1), std::string("/missing")}) {
        const auto answer = rawRequest(server.port(), get(target, "Host: h.test\r\n"));
        ASSERT_TRUE(answer) << target;
        std::size_t links = 0;
        for (std::size_t at = answer->body.find("href=\""); at != std::string::npos; at = answer->body.find("href=\"", at + 1)) {
            ++links;
            EXPECT_EQ(answer->body.compare(at + 6, 14, "http://h.test/"), 0) << target << ": " << answer->body.substr(at, 50);
        }
        EXPECT_GT(links, 0u) << target;
    }
}

TEST(KeepAlive, oneConnectionCarriesManyRequests)
{
    // HTTP/1.1 connections stay open across answers, pipelined requests are answered in order,
    // and an HTTP/1.0 client without keep-alive gets its answer and then the close.
    TestServer server;
    RawConnection connection(server.port());
    for (int i = 0; i < 20; ++i) {
        const std::string target = i % 2 ? std::string(paths::Scores) : postTarget("Kept", i);
        ASSERT_TRUE(connection.send(get(target)));
        const auto answer = connection.read(answerWait);
        ASSERT_TRUE(answer) << i;
        EXPECT_EQ(answer->status, httpstatus::ok) << i;
        EXPECT_TRUE(answer->statusLine.starts_with("HTTP/1.1 ")) << answer->statusLine;
        EXPECT_EQ(header(*answer, "connection"), "");
    }
    ASSERT_TRUE(connection.send(get(paths::Version) + get(paths::Home) + get(paths::Version)));
    const auto first = connection.read(answerWait);
    const auto second = connection.read(answerWait);
    const auto third = connection.read(answerWait);
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->body, "1.0.0");
    EXPECT_NE(second->body.find("180 seconds"), std::string::npos);
    EXPECT_EQ(third->body, "1.0.0");
    EXPECT_EQ(server.store().count(), 10);

    RawConnection old(server.port());
    ASSERT_TRUE(old.send("GET /tarvlesolo/tarvlesoloversion.txt HTTP/1.0\r\n\r\n"));
    const auto answer = old.read(answerWait);
    ASSERT_TRUE(answer);
    EXPECT_TRUE(answer->statusLine.starts_with("HTTP/1.0 200")) << answer->statusLine;
    EXPECT_TRUE(old.closedWithin(answerWait));

    RawConnection oldKept(server.port());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(oldKept.send("GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n"));
        const auto kept = oldKept.read(answerWait);
        ASSERT_TRUE(kept) << i;
        EXPECT_EQ(kept->status, httpstatus::ok);
    }
}

TEST(HostileRequests, unreadableRequestsGetAPageAndTheClose)
{
    // Oversized headers (431), a body past the payload limit (413) and garbage (400) are answered
    // with an HTML page before the connection is closed, and store nothing.
    TestServer server;
    const std::vector<std::pair<std::string, int>> cases = {
        {get(postTarget(std::string(10000, 'a'), 1)), httpstatus::headersTooLarge},
        {"POST " + std::string(paths::Posting) + " HTTP/1.1\r\nHost: h\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'x'),
         httpstatus::payloadTooLarge},
        {"\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03 not http\r\n\r\n", httpstatus::badRequest},
    };
    for (const auto &[request, status] : cases) {
        RawConnection connection(server.port());
        ASSERT_TRUE(connection.send(request));
        const auto answer = connection.read(answerWait);
        ASSERT_TRUE(answer) << request.substr(0, 40);
        EXPECT_EQ(answer->status, status) << request.substr(0, 40);
        EXPECT_EQ(header(*answer, "content-type"), htmlType);
        EXPECT_NE(answer->body.find("Request refused"), std::string::npos);
        EXPECT_TRUE(connection.closedWithin(answerWait));
    }
    RawConnection post(server.port());
    ASSERT_TRUE(post.send("POST / HTTP/1.1\r\nHost: h\r\nContent-Length: 3\r\n\r\nabc"));
    const auto notAllowed = post.read(answerWait);
    ASSERT_TRUE(notAllowed);
    EXPECT_EQ(notAllowed->status, httpstatus::methodNotAllowed);
    EXPECT_EQ(header(*notAllowed, "allow"), "GET");
    EXPECT_EQ(server.store().count(), 0);
}

TEST(SlowClients, twoHundredTricklingConnectionsStarveNoOneAndAreCutAtTheDeadline)
{
    // 200 connections sending one byte every 2 s (most in the headers, some in a body): other
    // clients' requests are answered within 1 s all along, no trickling connection is cut before
    // the request deadline, and every one is cut soon after it.
    constexpr int tricklers = 200;
    constexpr int bodyTricklers = 20;
    constexpr auto pause = 2s;
    constexpr auto deadline = 6s;
    constexpr auto answerLimit = 1s;
    constexpr auto cutSlack = 5s; // for a loaded machine; the server's own timer is exact
    TestServer::Setup setup;
    setup.requestDeadline = deadline;
    setup.config.postingLimit = 0;
    TestServer server(setup);

    const std::string headerBytes = get(paths::Scores);
    const std::string bodyHead = "POST " + std::string(paths::Posting) + " HTTP/1.1\r\nHost: h\r\nContent-Length: 1000\r\n\r\n";
    std::vector<std::unique_ptr<RawConnection>> slow;
    std::vector<SteadyClock::time_point> connectedAt;
    for (int i = 0; i < tricklers; ++i) {
        // Taken before connecting: the server may accept, and start the deadline, before connect returns.
        connectedAt.push_back(SteadyClock::now());
        slow.push_back(std::make_unique<RawConnection>(server.port()));
        ASSERT_TRUE(slow.back()->send(i < bodyTricklers ? bodyHead : headerBytes.substr(0, 1)));
    }
    const auto lastConnected = connectedAt.back();

    std::atomic<bool> stop = false;
    std::thread trickle([&] {
        for (std::size_t sent = 1; !stop; ++sent) {
            const auto next = SteadyClock::now() + pause;
            while (!stop && SteadyClock::now() < next)
                std::this_thread::sleep_for(20ms);
            for (int i = 0; i < tricklers && !stop; ++i)
                slow[i]->send(i < bodyTricklers ? std::string("x") : headerBytes.substr(sent % headerBytes.size(), 1));
        }
    });

    // Requests from other clients, each on a connection of its own like the game's, plus one
    // kept-alive connection, until shortly before the tricklers' deadline.
    std::vector<double> latencies;
    RawConnection kept(server.port());
    int served = 0;
    for (int i = 0; SteadyClock::now() < lastConnected + deadline - 1s; ++i) {
        const auto start = SteadyClock::now();
        std::optional<RawResponse> answer;
        if (i % 3 == 0)
            answer = rawRequest(server.port(), get(paths::Scores), {}, answerWait);
        else if (i % 3 == 1)
            answer = rawRequest(server.port(), get(postTarget("Busy", i)), {}, answerWait);
        else if (kept.send(get(paths::Version)))
            answer = kept.read(answerWait);
        latencies.push_back(milliseconds(SteadyClock::now() - start));
        if (answer && answer->status == httpstatus::ok)
            ++served;
        std::this_thread::sleep_for(200ms);
    }

    // The server starts each deadline at accept, after our connect, so none can be cut yet.
    int openBeforeDeadline = 0;
    for (const auto &connection : slow)
        openBeforeDeadline += connection->closedWithin(0ms) ? 0 : 1;
    const bool checkedBeforeDeadline = SteadyClock::now() < lastConnected + deadline - 100ms;

    std::vector<double> cutAfter(tricklers, -1);
    int cut = 0;
    for (int i = 0; i < tricklers; ++i) {
        const auto bound = connectedAt[i] + deadline + cutSlack;
        while (SteadyClock::now() < bound && !slow[i]->closedWithin(20ms)) {
        }
        if (slow[i]->closedWithin(0ms)) {
            ++cut;
            cutAfter[i] = milliseconds(SteadyClock::now() - connectedAt[i]);
        }
    }
    stop = true;
    trickle.join();

    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_FALSE(sorted.empty());
    std::printf("with %d trickling connections: %zu other requests, %d answered 200, latency min %.2f ms, "
                "median %.2f ms, max %.2f ms\n",
                tricklers, sorted.size(), served, sorted.front(), sorted[sorted.size() / 2], sorted.back());
    const double firstCut = *std::min_element(cutAfter.begin(), cutAfter.end());
    const double lastCut = *std::max_element(cutAfter.begin(), cutAfter.end());
    std::printf("trickling connections cut: %d of %d, seen closed %.0f ms to %.0f ms after connecting "
                "(deadline %lld ms)\n",
                cut, tricklers, firstCut, lastCut, static_cast<long long>(std::chrono::milliseconds(deadline).count()));

    EXPECT_GE(sorted.size(), 10u);
    EXPECT_EQ(served, static_cast<int>(sorted.size()));
    EXPECT_LT(sorted.back(), milliseconds(answerLimit));
    if (checkedBeforeDeadline) {
        EXPECT_EQ(openBeforeDeadline, tricklers);
    }
    EXPECT_EQ(cut, tricklers);
    EXPECT_GE(firstCut, milliseconds(deadline) - 1.0);
}

TEST(Migration, theServiceOpensAFirstReleaseDatabaseAndListsEveryRow)
{
    // A database left by the first release is brought up to date when the service starts on it:
    // the list shows every old row, all unverified, and new postings join them.
    std::vector<FirstSchemaRow> rows;
    for (int i = 0; i < 30; ++i)
        rows.push_back({"old" + std::to_string(i), "7/4/13", 1000 + i, "2013-07-04 10:00:00"});
    TestServer::Setup setup;
    setup.prepareDatabase = [&rows](const std::filesystem::path &path) { writeFirstSchemaDatabase(path, rows); };
    TestServer server(setup);

    auto client = server.client();
    const auto list = client->Get(paths::Scores);
    ASSERT_TRUE(list);
    for (const auto &row : rows)
        EXPECT_NE(list->body.find("<td>" + row.name + "</td>"), std::string::npos) << row.name;
    ASSERT_EQ(client->Get(postTarget("New", 2000))->status, httpstatus::ok);
    EXPECT_EQ(server.store().count(), 31);
    const auto stored = readRows(server.databasePath());
    ASSERT_EQ(stored.size(), 31u);
    for (const RawRow &row : stored)
        EXPECT_EQ(row.verified, 0) << row.name;
    const std::string after = client->Get(paths::Scores)->body;
    ASSERT_NE(after.find("<td>New</td>"), std::string::npos);
    EXPECT_LT(after.find("<td>New</td>"), after.find("<td>old29</td>"));
}
