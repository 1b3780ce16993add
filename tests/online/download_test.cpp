#include "download.h"
#include "filesizelimit.h"
#include "httptestserver.h"
#include "wait.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

using Outcome = Download::Outcome;

QByteArray bytes(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 7 + 3);
    return data;
}

// Runs one transfer to its end and gives its outcome.
Outcome run(Download &download, const QString &url, QIODevice &target)
{
    std::optional<Outcome> outcome;
    QObject::connect(&download, &Download::finished, &download, [&](Outcome o) { outcome = o; });
    download.start(url, &target);
    EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }));
    download.disconnect(&download);
    return outcome.value_or(Outcome::Aborted);
}

struct Target
{
    QBuffer buffer;
    Target() { buffer.open(QIODevice::WriteOnly); }
};

} // namespace

// The body lands in the target unchanged, with its progress told on the way,
// and the request carries the old client's user agent and accept list.
TEST(Download, wholeBodyIsComplete)
{
    HttpTestServer server;
    const QByteArray body = bytes(512);
    server.setRoute("/f.bin", {200, body, {}});
    Download download;
    QList<std::pair<qint64, qint64>> progress;
    QObject::connect(&download, &Download::progress, &download,
                     [&](qint64 received, qint64 total) { progress.append({received, total}); });
    Target t;
    EXPECT_EQ(run(download, server.base() + "/f.bin", t.buffer), Outcome::Complete);
    EXPECT_EQ(t.buffer.data(), body);
    EXPECT_EQ(download.received(), 512);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), (std::pair<qint64, qint64>{512, 512}));
    EXPECT_EQ(server.lastHeader("user-agent"), "Mozilla/3.0 (compatible)");
    EXPECT_EQ(server.lastHeader("accept"), "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    EXPECT_NE(server.lastHeader("cache-control"), "no-cache");

    // A whole chunked body, and one that ends with the connection, are whole too.
    server.setRoute("/chunked", {200, body, {}, -1, false, true, true});
    Target chunked;
    EXPECT_EQ(run(download, server.base() + "/chunked", chunked.buffer), Outcome::Complete);
    EXPECT_EQ(chunked.buffer.data(), body);
    server.setRoute("/closed", {200, body, {}, -1, false, false});
    Target closed;
    EXPECT_EQ(run(download, server.base() + "/closed", closed.buffer), Outcome::Complete);
    EXPECT_EQ(closed.buffer.data(), body);
}

// An error page is no file: its status is kept and nothing is written.
TEST(Download, errorStatusIsNoFile)
{
    HttpTestServer server;
    server.setRoute("/gone", {404, "not here", {}});
    server.setRoute("/broken", {500, "oops", {}});
    Download download;
    for (const char *path : {"/gone", "/broken"}) {
        Target t;
        EXPECT_EQ(run(download, server.base() + path, t.buffer), Outcome::ErrorStatus) << path;
        EXPECT_TRUE(t.buffer.data().isEmpty());
    }
    EXPECT_EQ(download.status(), 500);

    Target refused;
    EXPECT_EQ(run(download, QStringLiteral("http://127.0.0.1:%1/f.bin").arg(HttpTestServer::refusedPort()),
                  refused.buffer),
              Outcome::NoAnswer);
}

// A body shorter than its Content-Length is never complete. (Without a
// length, a cut cannot be told from an end: Qt even passes a chunked body
// that lacks its last chunk. The installer's signature covers those.)
TEST(Download, cutBodyIsNotComplete)
{
    HttpTestServer server;
    server.setRoute("/cut", {200, bytes(349), {}, 100});
    Download download;
    Target t;
    EXPECT_EQ(run(download, server.base() + "/cut", t.buffer), Outcome::Cut);
    EXPECT_EQ(t.buffer.data().size(), 100);
}

// A host that stalls or trickles is given up at the deadline for the whole
// transfer, whatever it still sends.
TEST(Download, deadlineEndsAStallAndATrickle)
{
    HttpTestServer server;
    server.setRoute("/stall", {200, bytes(349), {}, 100, true});
    server.setRoute("/trickle", {200, bytes(349), {}, -1, false, true, false, 20});
    Download download;
    download.setDeadline(500);
    for (const char *path : {"/stall", "/trickle"}) {
        Target t;
        EXPECT_EQ(run(download, server.base() + path, t.buffer), Outcome::TimedOut) << path;
        EXPECT_LT(t.buffer.data().size(), 349);
    }
}

// A target that refuses bytes (a full disk) ends the transfer, and so does
// a body beyond the size limit.
TEST(Download, refusedWritesAndOversizeEndIt)
{
    HttpTestServer server;
    server.setRoute("/big", {200, bytes(200000), {}});
    Download download;

    QTemporaryDir dir;
    QFile file(dir.filePath("part"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    {
        FileSizeLimit limit(50000);
        ASSERT_TRUE(limit.ok());
        EXPECT_EQ(run(download, server.base() + "/big", file), Outcome::WriteFailed);
    }

    download.setMaxSize(1000);
    Target t;
    EXPECT_EQ(run(download, server.base() + "/big", t.buffer), Outcome::TooLong);
    EXPECT_LE(t.buffer.data().size(), 1000);
}

// abort() ends a stalled transfer at once.
TEST(Download, abortEndsAStall)
{
    HttpTestServer server;
    server.setRoute("/stall", {200, bytes(349), {}, 100, true});
    Download download;
    std::optional<Outcome> outcome;
    QObject::connect(&download, &Download::finished, &download, [&](Outcome o) { outcome = o; });
    Target t;
    download.start(server.base() + "/stall", &t.buffer);
    ASSERT_TRUE(waitUntil([&] { return download.received() == 100; }));
    EXPECT_TRUE(download.isRunning());
    download.abort();
    EXPECT_EQ(outcome, Outcome::Aborted);
    EXPECT_FALSE(download.isRunning());
}
