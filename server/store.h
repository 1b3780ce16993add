#pragma once

#include "posting.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
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

// A game ticket as handed out.
struct Ticket {
    std::string id;
    std::string code;      // the board code
    std::string day;       // YYYY-MM-DD (UTC) of a daily board; empty for a random one
    std::int64_t issuedAt = 0; // Unix seconds
    bool used = false;     // a verified posting has been stored for it
};

enum class Ranking { Verified, Unverified };

// The score table, the game tickets and the rate limits' counts in one SQLite file (WAL mode). One connection
// behind a mutex, so any thread of the server may call it. Failures throw StoreError.
// A database written by an earlier version is migrated in place when opened, keeping every row.
class Store {
public:
    static constexpr int schemaVersion = 2; // PRAGMA user_version; 0 is the first release's schema

    // Opens or creates the database; ":memory:" gives a private in-memory one. Refuses a
    // database of a newer schema than this version knows.
    explicit Store(const std::string &path);
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Stored as unverified.
    void add(const Posting &posting);
    // Marks the ticket `game` used and stores the posting as verified, both or neither, in one
    // transaction whose UPDATE only takes an unused ticket: of several postings of one ticket,
    // from any thread or any instance sharing the file, at most one returns true. False, and
    // nothing stored, when the ticket is used already or unknown.
    bool addVerified(const Posting &posting, std::string_view game);
    // Highest score first; equal scores newest first; verified or not.
    std::vector<StoredPosting> best(int limit);
    // The same order, of one kind only.
    std::vector<StoredPosting> best(Ranking ranking, int limit);
    // The verified postings of the daily board of `day` (YYYY-MM-DD), in the same order.
    std::vector<StoredPosting> bestOfDay(std::string_view day, int limit);
    std::int64_t count();
    // Changes whenever a posting is stored, by this or any other instance, and is cheap to read,
    // so a page made from the lists can be kept until it changes.
    std::int64_t listVersion();

    // Ids are unique (they are random and long); a repeat throws StoreError.
    void addTicket(const Ticket &ticket);
    std::optional<Ticket> ticket(std::string_view id);
    // Drops the unused tickets issued before `issuedBefore` (Unix seconds); used ones stay, since
    // their postings name them.
    void forgetUnusedTickets(std::int64_t issuedBefore);

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
    std::vector<StoredPosting> rows(Statement &statement);

    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_insertVerified;
    std::unique_ptr<Statement> m_claimTicket;
    std::unique_ptr<Statement> m_best;
    std::unique_ptr<Statement> m_bestOfKind;
    std::unique_ptr<Statement> m_bestOfDay;
    std::unique_ptr<Statement> m_insertTicket;
    std::unique_ptr<Statement> m_ticket;
    std::unique_ptr<Statement> m_forgetTickets;
    std::unique_ptr<Statement> m_count;
    std::unique_ptr<Statement> m_listVersion;
    std::unique_ptr<Statement> m_countRequest;
    std::unique_ptr<Statement> m_forgetRequests;
};
