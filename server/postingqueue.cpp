#include "postingqueue.h"

#include <algorithm>
#include <iterator>

PostingQueue::PostingQueue(Write write, std::size_t largestBatch)
    : m_write(std::move(write))
    , m_largestBatch(std::max<std::size_t>(largestBatch, 1))
{
}

void PostingQueue::add(const Posting &posting)
{
    Waiting mine{&posting, false, {}};
    std::unique_lock lock(m_mutex);
    m_waiting.push_back(&mine);
    while (!mine.done) {
        if (m_writing) {
            m_written.wait(lock);
            continue;
        }
        // Oldest first, so nobody waits behind more than a few batches.
        const std::size_t count = std::min(m_waiting.size(), m_largestBatch);
        std::vector<Waiting *> batch(m_waiting.begin(), m_waiting.begin() + static_cast<std::ptrdiff_t>(count));
        m_waiting.erase(m_waiting.begin(), m_waiting.begin() + static_cast<std::ptrdiff_t>(count));
        m_writing = true;
        lock.unlock();

        std::vector<const Posting *> postings;
        postings.reserve(batch.size());
        std::transform(batch.begin(), batch.end(), std::back_inserter(postings), [](Waiting *w) { return w->posting; });
        std::exception_ptr error;
        try {
            m_write(postings);
        } catch (...) {
            error = std::current_exception();
        }

        lock.lock();
        for (Waiting *waiting : batch) {
            waiting->done = true;
            waiting->error = error;
        }
        m_writing = false;
        m_written.notify_all();
    }
    if (mine.error)
        std::rethrow_exception(mine.error);
}
