#include "scorescache.h"
#include "store.h"
#include "storeerror.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A clock the test moves by hand.
struct HandClock {
    std::chrono::steady_clock::time_point now{};
    ScoresCache::Clock function()
    {
        return [this] { return now; };
    }
};

bool shows(ScoresCache &cache, const std::string &name)
{
    return cache.page()->with("http://h").find("<td>" + name + "</td>") != std::string::npos;
}

} // namespace

TEST(ScoresCache, keepsThePageUntilTheVersionMovesAndLooksAtMostOncePerInterval)
{
    // A posting stored by another instance (here: straight into the store) shows once the
    // interval has passed and not before; one stored by this instance shows at once.
    const TestDatabase database;
    const auto opened = database.open();
    Store &store = *opened;
    HandClock clock;
    ScoresCache cache(store, 1000ms, clock.function());
    const auto first = cache.page();
    EXPECT_NE(first->with("http://h").find("No scores have been posted yet."), std::string::npos);
    EXPECT_EQ(cache.page(), first) << "the same page object, not a remake";

    store.addTicket({"cacheTicket0000001", "00000000", "", 1, false});
    ASSERT_TRUE(store.addVerified({"Elsewhere", "d", 40}, "cacheTicket0000001"));
    clock.now += 999ms;
    EXPECT_FALSE(shows(cache, "Elsewhere"));
    clock.now += 1ms;
    EXPECT_TRUE(shows(cache, "Elsewhere"));
    const auto second = cache.page();

    // Another check with no change keeps the page.
    clock.now += 5s;
    EXPECT_EQ(cache.page(), second);

    store.add({"Here", "d", 7});
    cache.listChanged();
    EXPECT_TRUE(shows(cache, "Here"));
}

TEST(ScoresCache, aStoreFailureIsReportedNotHiddenBehindTheOldPage)
{
    // Once a check is due, a store error reaches the caller (the route answers 500) rather than
    // an old page passed off as current.
    const TestDatabase database;
    const auto opened = database.open();
    Store &store = *opened;
    HandClock clock;
    ScoresCache cache(store, 1000ms, clock.function());
    store.add({"Kept", "d", 3});
    EXPECT_TRUE(shows(cache, "Kept"));

    // What the list version is read from goes.
    database.execute(database.kind() == StoreKind::Sqlite ? "DROP TABLE postings" : "DROP SEQUENCE list_version");
    EXPECT_TRUE(shows(cache, "Kept")) << "within the interval nothing is asked";
    clock.now += 1s;
    EXPECT_THROW(cache.page(), StoreError);
}

TEST(ScoresCache, readersOnManyThreadsAllSeeAPostingOnceItIsAnnounced)
{
    // Threads read the page while postings arrive; after each announced posting, a page fetched
    // afterwards holds it, on every thread.
    const TestDatabase database;
    const auto opened = database.open();
    Store &store = *opened;
    ScoresCache cache(store);
    std::atomic<int> stored{0};
    std::atomic<bool> stale{false};
    std::atomic<bool> done{false};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            while (!done) {
                const int known = stored.load();
                const std::string page = cache.page()->with("http://h");
                if (known > 0 && page.find("<td>p" + std::to_string(known) + "</td>") == std::string::npos)
                    stale = true;
            }
        });
    }
    for (int i = 1; i <= 50; ++i) {
        store.add({"p" + std::to_string(i), "d", i});
        cache.listChanged();
        stored = i;
        std::this_thread::sleep_for(1ms);
    }
    done = true;
    for (auto &reader : readers)
        reader.join();
    EXPECT_FALSE(stale);
}
