#include "download.h"
#include "httperror.h"
#include "httptestserver.h"

#include <QBuffer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QByteArray bytes(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 7 + 3);
    return data;
}

int statusOfFailure(const QString &url)
{
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    try {
        Download::get(url, target);
    } catch (const HttpError &e) {
        return e.status();
    }
    return 0;
}

} // namespace

// The body lands in the target unchanged and its size is returned.
TEST(Download, writesBodyAndReturnsSize)
{
    HttpTestServer server;
    const QByteArray body = bytes(512);
    server.setRoute("/f.bin", {200, body, {}});
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    EXPECT_EQ(Download::get(server.base() + "/f.bin", target), 512);
    EXPECT_EQ(target.data(), body);
}

// The request carries the old client's user agent and accept list.
TEST(Download, sendsClientHeaders)
{
    HttpTestServer server;
    server.setRoute("/f.bin", {200, "x", {}});
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    Download::get(server.base() + "/f.bin", target);
    EXPECT_EQ(server.lastHeader("user-agent"), "Mozilla/3.0 (compatible)");
    EXPECT_EQ(server.lastHeader("accept"), "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    EXPECT_NE(server.lastHeader("cache-control"), "no-cache");
}

// A status of 400 or more fails with that status.
TEST(Download, errorStatusThrowsIt)
{
    HttpTestServer server;
    server.setRoute("/gone", {404, "not here", {}});
    server.setRoute("/broken", {500, "oops", {}});
    EXPECT_EQ(statusOfFailure(server.base() + "/gone"), 404);
    EXPECT_EQ(statusOfFailure(server.base() + "/broken"), 500);
}

// No connection is reported as status 404.
TEST(Download, refusedConnectionThrows404)
{
    EXPECT_EQ(statusOfFailure(QStringLiteral("http://127.0.0.1:%1/f.bin").arg(HttpTestServer::refusedPort())), 404);
}

// While it waits, timers keep firing: the server answers only after a
// timer of the caller has ticked three times.
TEST(Download, timersRunWhileWaiting)
{
    HttpTestServer server;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] { ++ticks; });
    timer.start(1);
    server.setRoute("/slow", {200, "done", [&] { return ticks >= 3; }});
    QBuffer target;
    target.open(QIODevice::WriteOnly);
    EXPECT_EQ(Download::get(server.base() + "/slow", target), 4);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(target.data(), "done");
}
