#include "httpserver.h"
#include "httpstatus.h"
#include "router.h"
#include "service.h"
#include "servicepaths.h"
#include "testserver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace paths = rules::servicepaths;

constexpr auto htmlType = "text/html; charset=utf-8";

// Every byte outside the unreserved set as %XX, the way the game encodes values.
std::string encode(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        }
    }
    return out;
}

std::string postTarget(std::string_view name, std::string_view date, int score)
{
    return std::string(paths::Posting) + "?name=" + encode(name) + "&date=" + std::string(date)
           + "&score=" + std::to_string(score);
}

std::string postTarget(std::string_view rawQuery)
{
    return std::string(paths::Posting) + "?" + std::string(rawQuery);
}

std::size_t occurrences(const std::string &text, std::string_view needle)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

constexpr int clientTimeoutSeconds = 60;

// Non-blocking TCP sockets, closed however the test leaves.
struct OpenSockets {
    explicit OpenSockets(int count)
    {
        for (int i = 0; i < count; ++i)
            fds.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    }
    ~OpenSockets()
    {
        for (const int fd : fds)
            ::close(fd);
    }
    OpenSockets(const OpenSockets &) = delete;
    OpenSockets &operator=(const OpenSockets &) = delete;
    std::vector<int> fds;
};

} // namespace

TEST(Service, aPostingIsStoredAndShownOnTheList)
{
    // A valid posting answers 200 HTML, adds one row, and the list page shows name, score and date.
    TestServer server;
    auto client = server.client();

    const auto posted = client->Get(postTarget("Ann & Bob #1+", "7/4/13", 4321));
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, httpstatus::ok);
    EXPECT_EQ(posted->get_header_value("Content-Type"), htmlType);
    EXPECT_NE(posted->body.find("Score posted"), std::string::npos);
    EXPECT_EQ(server.store().count(), 1);

    const auto list = client->Get(paths::Scores);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->status, httpstatus::ok);
    EXPECT_EQ(list->get_header_value("Content-Type"), htmlType);
    EXPECT_NE(list->body.find("<td>Ann &amp; Bob #1+</td>"), std::string::npos);
    EXPECT_NE(list->body.find(">4321</td>"), std::string::npos);
    EXPECT_NE(list->body.find("<td>7/4/13</td>"), std::string::npos);
    EXPECT_NE(list->body.find("href=\"http://127.0.0.1:" + std::to_string(server.port()) + "/\""), std::string::npos);
}

TEST(Service, aRawPlusIsAPlusNotASpace)
{
    // Only %20 means a space; a raw '+' in a value is stored as '+'.
    TestServer server;
    auto client = server.client();
    const auto posted = client->Get(postTarget("name=A+B%20C&date=1/1/1&score=5"));
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, httpstatus::ok);
    const auto rows = server.store().best(1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "A+B C");
}

TEST(Service, badAndHostilePostingsAreRefusedAndNeverStored)
{
    // Anything but a valid posting answers 400 with an HTML page saying why, and stores nothing.
    TestServer server;
    auto client = server.client();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "missing"},
        {"name=a&date=d", "score is missing"},
        {"name=a&date=d&score=-1", "score"},
        {"name=a&date=d&score=%2B1", "score"},
        {"name=a&date=d&score=100001", "score"},
        {"name=a&date=d&score=1%20", "score"},
        {"name=a&date=d&score=1;DROP%20TABLE%20postings", "score"},
        {"name=a&name=b&date=d&score=1", "more than once"},
        {"name=&date=d&score=1", "1 to 64"},
        {"name=" + std::string(5000, 'a') + "&date=d&score=1", "1 to 64"},
        {"name=a%0D%0AX-Injected:%201&date=d&score=1", "control"},
        {"name=%FF&date=d&score=1", "UTF-8"},
        {"name=%3Cscript%3E&date=d&score=1&x=%3Cscript%3E", "unexpected"},
        {"name=a%zz&date=d&score=1", "malformed"},
    };
    for (const auto &[query, reason] : cases) {
        const auto answer = client->Get(postTarget(query));
        ASSERT_TRUE(answer) << query;
        EXPECT_EQ(answer->status, httpstatus::badRequest) << query;
        EXPECT_EQ(answer->get_header_value("Content-Type"), htmlType) << query;
        EXPECT_NE(answer->body.find(reason), std::string::npos) << query << "\n" << answer->body;
        EXPECT_EQ(answer->body.find("<script>"), std::string::npos) << query;
    }

    // Past the request-line limit the library refuses before our handler runs; still nothing stored.
    const auto huge = client->Get(postTarget("name=" + std::string(10240, 'a') + "&date=d&score=1"));
    ASSERT_TRUE(huge);
    EXPECT_GE(huge->status, httpstatus::badRequest);

    // A body beyond the payload limit is refused too.
    const auto bigBody = client->Post(paths::Posting, std::string(service::payloadLimit * 4, 'x'), "text/plain");
    ASSERT_TRUE(bigBody);
    EXPECT_GE(bigBody->status, httpstatus::badRequest);

    EXPECT_EQ(server.store().count(), 0);
}

TEST(Service, listIsOrderedByScoreThenNewestAndEscaped)
{
    // Higher scores first, equal scores newest first, at most 100 rows, every value HTML-escaped.
    TestServer server;
    auto client = server.client();
    for (const auto &[name, score] : std::vector<std::pair<std::string, int>>{
             {"old500", 500}, {"old700", 700}, {"new500", 500}, {"new700", 700}}) {
        const auto posted = client->Get(postTarget(name, "d", score));
        ASSERT_TRUE(posted);
        ASSERT_EQ(posted->status, httpstatus::ok);
    }
    ASSERT_EQ(client->Get(postTarget("<b>&\"'", "<i>", 1))->status, httpstatus::ok);

    const auto list = client->Get(paths::Scores);
    ASSERT_TRUE(list);
    const std::string &html = list->body;
    const auto at = [&html](std::string_view name) { return html.find(name); };
    ASSERT_NE(at("new700"), std::string::npos);
    EXPECT_LT(at("new700"), at("old700"));
    EXPECT_LT(at("old700"), at("new500"));
    EXPECT_LT(at("new500"), at("old500"));
    EXPECT_NE(at("<td>&lt;b&gt;&amp;&quot;&#39;</td>"), std::string::npos);
    EXPECT_NE(at("<td>&lt;i&gt;</td>"), std::string::npos);
    EXPECT_EQ(at("<b>&"), std::string::npos);

    for (int i = 0; i < 110; ++i)
        server.store().add({"filler" + std::to_string(i), "d", 1000 + i});
    const auto full = client->Get(paths::Scores);
    ASSERT_TRUE(full);
    EXPECT_EQ(occurrences(full->body, "<tr>"), 101u); // header row plus 100
    EXPECT_NE(full->body.find("filler109"), std::string::npos);
    EXPECT_EQ(full->body.find("new700"), std::string::npos);
}

TEST(Service, versionTextIsExactWithoutALineBreak)
{
    // The version file is the configured text byte for byte, as plain text.
    ServiceConfig config;
    config.versionText = "2.5.1";
    TestServer server(config);
    const auto answer = server.client()->Get(paths::Version);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, httpstatus::ok);
    EXPECT_EQ(answer->body, "2.5.1");
    EXPECT_EQ(answer->get_header_value("Content-Type"), "text/plain");

    TestServer defaults;
    EXPECT_EQ(defaults.client()->Get(paths::Version)->body, "1.0.0");
}

TEST(Service, installerIsServedOnlyWhenConfigured)
{
    // With an installer file its exact bytes come back as octet-stream; without one, 404.
    TestServer without;
    const auto missing = without.client()->Get(paths::Installer);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, httpstatus::notFound);
    EXPECT_EQ(missing->get_header_value("Content-Type"), htmlType);

    std::string bytes("MZ\0\x01\xFF\r\n", 7);
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>(i * 7);
    TestServer forPath;
    const auto installer = forPath.folder() / "trvsetup.exe";
    std::ofstream(installer, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    ServiceConfig config;
    config.installerPath = installer.string();
    TestServer with(config);
    const auto answer = with.client()->Get(paths::Installer);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, httpstatus::ok);
    EXPECT_EQ(answer->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_EQ(answer->body, bytes);

    // The signature beside it is served as text once it exists, and read
    // at each request, so a new release needs no restart.
    const auto unsigned_ = with.client()->Get(paths::InstallerSignature);
    ASSERT_TRUE(unsigned_);
    EXPECT_EQ(unsigned_->status, httpstatus::notFound);
    std::ofstream(installer.string() + ".sig") << "c2lnbmF0dXJl\n";
    const auto signature = with.client()->Get(paths::InstallerSignature);
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->status, httpstatus::ok);
    EXPECT_EQ(signature->body, "c2lnbmF0dXJl\n");
    EXPECT_EQ(without.client()->Get(paths::InstallerSignature)->status, httpstatus::notFound);
}

TEST(Service, homeAndMultiplayerPagesAndUnknownPaths)
{
    // The two pages are HTML about the game; any other path is a 404 HTML page.
    TestServer server;
    auto client = server.client();

    const auto home = client->Get(paths::Home);
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, httpstatus::ok);
    EXPECT_EQ(home->get_header_value("Content-Type"), htmlType);
    EXPECT_NE(home->body.find("180 seconds"), std::string::npos);
    EXPECT_NE(home->body.find(paths::Scores), std::string::npos);
    EXPECT_NE(home->body.find(paths::Multiplayer), std::string::npos);

    const auto multi = client->Get(paths::Multiplayer);
    ASSERT_TRUE(multi);
    EXPECT_EQ(multi->status, httpstatus::ok);
    EXPECT_EQ(multi->get_header_value("Content-Type"), htmlType);
    EXPECT_NE(multi->body.find("coming to this site"), std::string::npos);

    for (const char *path : {"/nothing", "/cgi-bin/other.cgi", "/counter/tarvlesolo.shtml/x", "/../etc/passwd"}) {
        const auto answer = client->Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, httpstatus::notFound) << path;
        EXPECT_EQ(answer->get_header_value("Content-Type"), htmlType) << path;
        EXPECT_NE(answer->body.find("Not found"), std::string::npos) << path;
    }
}

TEST(Service, parallelPostingsAreAllStored)
{
    // 500 postings from 50 client threads at once: every one answered 200 and stored exactly once.
    // More clients than the server has workers, each posting on a connection of its own like the game.
    constexpr int threads = 50;
    constexpr int perThread = 10;
    ServiceConfig unlimited;
    unlimited.postingLimit = 0; // all from one address
    TestServer server(unlimited);
    std::atomic<int> accepted = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&server, &accepted, t] {
            auto client = server.client();
            for (int i = 0; i < perThread; ++i) {
                const int score = t * perThread + i;
                const auto answer = client->Get(postTarget(std::string("player").append(std::to_string(score)), "d", score));
                if (answer && answer->status == httpstatus::ok)
                    ++accepted;
            }
        });
    }
    for (auto &worker : workers)
        worker.join();
    EXPECT_EQ(accepted, threads * perThread);
    EXPECT_EQ(server.store().count(), threads * perThread);
    const auto top = server.store().best(1);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].score, threads * perThread - 1);

    // Each score once, under its own name: no posting lost, doubled or mixed with another.
    constexpr int total = threads * perThread;
    const auto rows = server.store().best(total + 1);
    std::vector<int> seen(total, 0);
    for (const StoredPosting &row : rows) {
        ASSERT_GE(row.score, 0);
        ASSERT_LT(row.score, total);
        EXPECT_EQ(row.name, "player" + std::to_string(row.score));
        ++seen[static_cast<std::size_t>(row.score)];
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), total);
}

TEST(Service, aBurstOfConnectionsWaitsInTheListenQueueAndIsServed)
{
    // Connections arriving faster than they are accepted are held by the listen queue, then served.
    constexpr int burst = 64;
    constexpr int giveUpMs = 3000; // only the failing case waits: a held handshake completes at once
    Store store(":memory:");
    const ServiceConfig config;
    service::Limiters limiters = service::makeLimiters(store, config);
    Router router;
    service::registerRoutes(router, store, config, limiters);
    HttpServer http({}, [&router](const HttpRequest &request) { return router.handle(request); });
    const int port = http.bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);

    // Nothing accepts yet, so every handshake that completes is one the queue holds.
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const OpenSockets sockets(burst);
    for (const int socket : sockets.fds) {
        const int rc = ::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        ASSERT_TRUE(rc == 0 || errno == EINPROGRESS) << std::strerror(errno);
    }
    std::vector<pollfd> pending;
    for (const int socket : sockets.fds)
        pending.push_back({socket, POLLOUT, 0});
    while (!pending.empty() && ::poll(pending.data(), pending.size(), giveUpMs) > 0)
        std::erase_if(pending, [](const pollfd &entry) { return entry.revents != 0; });
    int held = 0;
    for (const int socket : sockets.fds) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (::getpeername(socket, reinterpret_cast<sockaddr *>(&peer), &length) == 0)
            ++held;
    }
    ASSERT_EQ(held, burst);

    // Once the loop runs, each held connection gets its answer.
    std::thread loop([&http] { http.run(); });
    constexpr std::string_view request = "GET / HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
    int answered = 0;
    for (const int socket : sockets.fds) {
        ::fcntl(socket, F_SETFL, 0);
        const timeval wait{clientTimeoutSeconds, 0};
        ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        if (::send(socket, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
            continue;
        std::string reply;
        char buffer[4096];
        for (ssize_t got; (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0;)
            reply.append(buffer, static_cast<std::size_t>(got));
        if (reply.starts_with("HTTP/1.1 200"))
            ++answered;
    }
    http.stop();
    loop.join();
    EXPECT_EQ(answered, burst);
}

TEST(Service, failuresAnswerAPlain500WithoutTheirText)
{
    // An exception in a handler, whether thrown by the store or anything else, gives a bare 500.
    constexpr auto secret = "secret-detail-42";
    TestServer server({}, [secret](Router &router) {
        router.get("/throws-std", [secret](const HttpRequest &, HttpResponse &) { throw std::runtime_error(secret); });
        router.get("/throws-other", [](const HttpRequest &, HttpResponse &) { throw 42; });
    });
    auto client = server.client();

    const auto checkPlain500 = [](const httplib::Result &answer, const std::string &leak) {
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, httpstatus::internalError);
        EXPECT_EQ(answer->get_header_value("Content-Type"), "text/plain");
        EXPECT_EQ(answer->body, "Internal server error");
        for (const auto &[key, value] : answer->headers) {
            EXPECT_EQ(key.find(leak), std::string::npos);
            EXPECT_EQ(value.find(leak), std::string::npos);
            EXPECT_EQ(key.find("EXCEPTION"), std::string::npos);
        }
    };
    checkPlain500(client->Get("/throws-std"), secret);
    checkPlain500(client->Get("/throws-other"), "42");

    // Drop the table behind the store's back: the store's own errors must not reach the client.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(server.databasePath().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE postings", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    checkPlain500(client->Get(postTarget("a", "d", 1)), "postings");
    checkPlain500(client->Get(paths::Scores), "postings");

    // The service keeps answering other requests after the failures.
    const auto home = client->Get(paths::Home);
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, httpstatus::ok);
}
