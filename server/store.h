#pragma once

#include "posting.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;
class Statement;

// A posting as read back, with its row id (larger is newer).
struct StoredPosting {
    std::int64_t id = 0;
    std::string name;
    std::string date;
    int score = 0;
};

// The score table in one SQLite file (WAL mode). One connection behind a mutex, so any thread
// of the server's pool may call it. Failures throw StoreError.
class Store {
public:
    // Opens or creates the database; ":memory:" gives a private in-memory one.
    explicit Store(const std::string &path);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    void add(const Posting &posting);
    // Highest score first; equal scores newest first.
    std::vector<StoredPosting> best(int limit);
    std::int64_t count();

private:
    struct Closer {
        void operator()(sqlite3 *db) const;
    };

    std::mutex m_mutex;
    std::unique_ptr<sqlite3, Closer> m_db;
    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_best;
    std::unique_ptr<Statement> m_count;
};
