#pragma once

#include "posting.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
class Statement;

// A posting as read back, with its row id (larger is newer).
struct StoredPosting {
    std::int64_t id = 0;
    std::string name;
    std::string date;
    int score = 0;
    bool verified = false; // replayed and confirmed by the service; postings of the game alone are not
};

// The score table and the rate limits' counts in one SQLite file (WAL mode). One connection
// behind a mutex, so any thread of the server may call it. Failures throw StoreError.
// A database written by an earlier version is migrated in place when opened, keeping every row.
class Store {
public:
    static constexpr int schemaVersion = 1; // PRAGMA user_version; 0 is the first release's schema

    // Opens or creates the database; ":memory:" gives a private in-memory one. Refuses a
    // database of a newer schema than this version knows.
    explicit Store(const std::string &path);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Stored as unverified.
    void add(const Posting &posting);
    // Highest score first; equal scores newest first; verified or not.
    std::vector<StoredPosting> best(int limit);
    std::int64_t count();

    // Counts one request of `kind` from `client` in `minute` unless `limit` are counted there
    // already; true when counted. One statement, so instances sharing the file never overshoot.
    bool countRequest(std::string_view kind, std::string_view client, std::int64_t minute, int limit);
    // Drops the counts of `kind` before `minute`.
    void forgetRequestCounts(std::string_view kind, std::int64_t minute);

private:
    struct Closer {
        void operator()(sqlite3 *db) const;
    };

    std::mutex m_mutex;
    std::unique_ptr<sqlite3, Closer> m_db;
    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_best;
    std::unique_ptr<Statement> m_count;
    std::unique_ptr<Statement> m_countRequest;
    std::unique_ptr<Statement> m_forgetRequests;
};
