#include "httptestserver.h"
#include "stringfetch.h"
#include "wait.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Fetched
{
    StringFetch fetch;
    QStringList bodies;

    Fetched()
    {
        QObject::connect(&fetch, &StringFetch::doneString, &fetch,
                         [this](const QString &body) { bodies << body; });
    }

    void run(const QString &url)
    {
        fetch.start(url);
        ASSERT_TRUE(fetch.busy());
        ASSERT_TRUE(waitUntil([this] { return !fetch.busy(); }));
    }
};

} // namespace

// A 200 reply's whole body arrives once, as UTF-8 text.
TEST(StringFetch, deliversBodyOfOk)
{
    HttpTestServer server;
    server.setRoute("/v.txt", {200, "1.0.1\nzwei \xc3\xa4", {}});
    Fetched f;
    f.run(server.base() + "/v.txt");
    ASSERT_EQ(f.bodies.size(), 1);
    EXPECT_EQ(f.bodies[0], QString::fromUtf8("1.0.1\nzwei \xc3\xa4"));
}

// The request asks for anything and for no cached copy.
TEST(StringFetch, asksForAnyTypeUncached)
{
    HttpTestServer server;
    server.setRoute("/v.txt", {200, "x", {}});
    Fetched f;
    f.run(server.base() + "/v.txt");
    EXPECT_EQ(server.lastHeader("accept"), "*/*");
    EXPECT_EQ(server.lastHeader("cache-control"), "no-cache");
}

// The status is not looked at: an error page with a body is delivered too.
TEST(StringFetch, deliversBodyOfErrorPage)
{
    HttpTestServer server;
    server.setRoute("/missing", {404, "<html>Not here</html>", {}});
    Fetched f;
    f.run(server.base() + "/missing");
    ASSERT_EQ(f.bodies.size(), 1);
    EXPECT_EQ(f.bodies[0], "<html>Not here</html>");
}

// An empty body raises nothing.
TEST(StringFetch, emptyBodyDeliversNothing)
{
    HttpTestServer server;
    server.setRoute("/empty", {200, "", {}});
    Fetched f;
    f.run(server.base() + "/empty");
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(f.bodies.isEmpty());
}

// A failed fetch raises nothing and frees the object for the next one.
TEST(StringFetch, refusedConnectionDeliversNothing)
{
    Fetched f;
    f.run(QStringLiteral("http://127.0.0.1:%1/v.txt").arg(HttpTestServer::refusedPort()));
    EXPECT_TRUE(f.bodies.isEmpty());

    HttpTestServer server;
    server.setRoute("/v.txt", {200, "after", {}});
    f.run(server.base() + "/v.txt");
    EXPECT_EQ(f.bodies, QStringList{"after"});
}

// A start while a fetch is under way is ignored: one request, one answer.
TEST(StringFetch, ignoresStartWhileBusy)
{
    HttpTestServer server;
    bool release = false;
    server.setRoute("/slow", {200, "slow", [&] { return release; }});
    server.setRoute("/other", {200, "other", {}});
    Fetched f;
    f.fetch.start(server.base() + "/slow");
    ASSERT_TRUE(waitUntil([&] { return server.requestCount() == 1; }));
    f.fetch.start(server.base() + "/other");
    EXPECT_TRUE(f.fetch.busy());
    release = true;
    ASSERT_TRUE(waitUntil([&] { return !f.fetch.busy(); }));
    EXPECT_EQ(f.bodies, QStringList{"slow"});
    EXPECT_EQ(server.requestCount(), 1);
}
