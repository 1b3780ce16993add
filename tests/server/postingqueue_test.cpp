#include "postingqueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <latch>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

TEST(PostingQueue, concurrentPostingsAreWrittenTogetherEachExactlyOnce)
{
    // While one write is under way the others gather; every posting is written once, and a
    // caller returns only after the write that held its posting.
    std::mutex mutex;
    std::vector<std::string> written;
    std::vector<std::size_t> batches;
    PostingQueue queue([&](const std::vector<const Posting *> &postings) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::lock_guard lock(mutex);
        batches.push_back(postings.size());
        for (const Posting *posting : postings)
            written.push_back(posting->name);
    }, 16);

    constexpr int threads = 8;
    constexpr int each = 40;
    std::atomic<int> unwritten{0};
    std::latch start(threads);
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t) {
        posters.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int i = 0; i < each; ++i) {
                const std::string name = std::to_string(t) + "-" + std::to_string(i);
                queue.add({name, "d", i});
                const std::lock_guard lock(mutex);
                if (std::find(written.begin(), written.end(), name) == written.end())
                    ++unwritten;
            }
        });
    }
    for (auto &poster : posters)
        poster.join();

    EXPECT_EQ(unwritten.load(), 0);
    ASSERT_EQ(written.size(), std::size_t(threads * each));
    std::sort(written.begin(), written.end());
    EXPECT_EQ(std::unique(written.begin(), written.end()), written.end());
    EXPECT_LT(batches.size(), std::size_t(threads * each)) << "some postings shared a write";
    EXPECT_LE(*std::max_element(batches.begin(), batches.end()), 16u);
}

TEST(PostingQueue, aFailedWriteFailsItsOwnCallersOnly)
{
    // The callers whose postings were in the failed write hear its error; later postings go on.
    std::atomic<bool> fail{true};
    std::vector<std::string> written;
    PostingQueue queue([&](const std::vector<const Posting *> &postings) {
        if (fail.exchange(false))
            throw std::runtime_error("disk full");
        for (const Posting *posting : postings)
            written.push_back(posting->name);
    });
    EXPECT_THROW(queue.add({"lost", "d", 1}), std::runtime_error);
    queue.add({"kept", "d", 2});
    EXPECT_EQ(written, std::vector<std::string>{"kept"});
}
