#include "ratelimiter.h"
#include "store.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using std::chrono::seconds;
using TimePoint = std::chrono::system_clock::time_point;

// A wall clock the test moves by hand: minute 1000 and some seconds.
struct HandClock {
    TimePoint now = TimePoint(seconds(1000 * 60 + 15));
    StoreRateLimiter::Now function()
    {
        return [this] { return now; };
    }
};

} // namespace

TEST(RateLimit, admitsTheLimitPerClientEachMinuteAndTellsWhenToRetry)
{
    // N requests per client key per clock minute; the next minute starts afresh; Retry-After
    // counts the seconds to it.
    Store store(":memory:");
    HandClock clock;
    StoreRateLimiter limiter(store, "posting", 3, clock.function());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(limiter.admit("10.0.0.1")) << i;
    EXPECT_FALSE(limiter.admit("10.0.0.1"));
    EXPECT_EQ(limiter.retryAfter(), 45);
    EXPECT_TRUE(limiter.admit("10.0.0.2"));

    clock.now += seconds(44);
    EXPECT_FALSE(limiter.admit("10.0.0.1"));
    clock.now += seconds(1); // minute 1001
    EXPECT_EQ(limiter.retryAfter(), 60);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(limiter.admit("10.0.0.1")) << i;
    EXPECT_FALSE(limiter.admit("10.0.0.1"));
}

TEST(RateLimit, zeroAdmitsEverythingAndCountsNothing)
{
    // Limit 0 is off: every request passes and the database is not written.
    Store store(":memory:");
    StoreRateLimiter off(store, "posting", 0);
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(off.admit("10.0.0.1"));
    StoreRateLimiter on(store, "posting", 1);
    EXPECT_TRUE(on.admit("10.0.0.1")); // nothing was counted before
}

TEST(RateLimit, kindsAreCountedApartAndOldMinutesForgotten)
{
    // Postings and tickets have limits of their own; the first request of a minute drops older counts.
    Store store(":memory:");
    HandClock clock;
    StoreRateLimiter postings(store, "posting", 1, clock.function());
    StoreRateLimiter tickets(store, "ticket", 1, clock.function());
    EXPECT_TRUE(postings.admit("10.0.0.1"));
    EXPECT_TRUE(tickets.admit("10.0.0.1"));
    EXPECT_FALSE(postings.admit("10.0.0.1"));
    EXPECT_FALSE(tickets.admit("10.0.0.1"));

    clock.now += seconds(120);
    EXPECT_TRUE(postings.admit("10.0.0.1"));
    // The counts of minute 1000 for postings are gone; a limit of 1 there admits again.
    EXPECT_TRUE(store.countRequest("posting", "10.0.0.1", 1000, 1));
    EXPECT_FALSE(store.countRequest("ticket", "10.0.0.1", 1000, 1));
}

TEST(RateLimit, anIpv6ClientIsCountedByItsSlash64)
{
    // One subscriber's /64 is one client; IPv4 and unparsable text stay as they are.
    EXPECT_EQ(ratelimit::clientKey("127.0.0.1"), "127.0.0.1");
    EXPECT_EQ(ratelimit::clientKey("2001:db8:1:2::1"), "2001:0db8:0001:0002::/64");
    EXPECT_EQ(ratelimit::clientKey("2001:db8:1:2:ffff:ffff:ffff:ffff"), "2001:0db8:0001:0002::/64");
    EXPECT_NE(ratelimit::clientKey("2001:db8:1:3::1"), ratelimit::clientKey("2001:db8:1:2::1"));
    EXPECT_EQ(ratelimit::clientKey("not an address"), "not an address");

    Store store(":memory:");
    HandClock clock;
    StoreRateLimiter limiter(store, "posting", 2, clock.function());
    EXPECT_TRUE(limiter.admit("2001:db8:1:2::1"));
    EXPECT_TRUE(limiter.admit("2001:db8:1:2::2"));
    EXPECT_FALSE(limiter.admit("2001:db8:1:2::3"));
    EXPECT_TRUE(limiter.admit("2001:db8:1:3::1"));
}
