#pragma once

#include "posting.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

// Postings stored by several threads at once go to the database together, in one transaction,
// so a burst costs one commit rather than one each: a caller that finds no write under way writes
// everything waiting, and the others wait for a write. Each caller returns once its own posting
// is stored, or throws the error of the write that held it.
class PostingQueue {
public:
    // Stores the postings, in order, all or none; throws on failure.
    using Write = std::function<void(const std::vector<const Posting *> &)>;

    explicit PostingQueue(Write write, std::size_t largestBatch = 64);

    void add(const Posting &posting);

private:
    struct Waiting {
        const Posting *posting;
        bool done = false;
        std::exception_ptr error;
    };

    const Write m_write;
    const std::size_t m_largestBatch;
    std::mutex m_mutex;
    std::condition_variable m_written;
    std::vector<Waiting *> m_waiting;
    bool m_writing = false;
};
