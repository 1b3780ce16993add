#pragma once

#include "posting.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The score table, the game tickets and the rate limits' counts, kept where every instance of the
// service sharing the database sees them. Any thread of the server may call any method; failures
// throw StoreError. Made by openStore(); SqliteStore and PostgresStore hold the same schema.
class Store {
public:
    static constexpr int schemaVersion = 2; // 0 is the first release's schema (SQLite only)
    static constexpr int defaultConnections = 8; // of a PostgreSQL store's pool

    virtual ~Store() = default;

    // Stored as unverified.
    virtual void add(const Posting &posting) = 0;
    // Marks the ticket `game` used and stores the posting as verified, both or neither, in one
    // transaction whose UPDATE only takes an unused ticket: of several postings of one ticket,
    // from any thread or any instance sharing the database, at most one returns true. False, and
    // nothing stored, when the ticket is used already or unknown.
    virtual bool addVerified(const Posting &posting, std::string_view game) = 0;
    // Highest score first; equal scores newest first; verified or not. `limit` is at least 0.
    virtual std::vector<StoredPosting> best(int limit) = 0;
    // The same order, of one kind only.
    virtual std::vector<StoredPosting> best(Ranking ranking, int limit) = 0;
    // The verified postings of the daily board of `day` (YYYY-MM-DD), in the same order.
    virtual std::vector<StoredPosting> bestOfDay(std::string_view day, int limit) = 0;
    virtual std::int64_t count() = 0;
    // Changes whenever a posting is stored, by this or any other instance, and is cheap to read,
    // so a page made from the lists can be kept until it changes. Read it before the lists it
    // stands for: a page made after reading a version holds every posting that version counts.
    virtual std::int64_t listVersion() = 0;

    // Ids are unique (they are random and long); a repeat throws StoreError.
    virtual void addTicket(const Ticket &ticket) = 0;
    virtual std::optional<Ticket> ticket(std::string_view id) = 0;
    // Drops the unused tickets issued before `issuedBefore` (Unix seconds); used ones stay, since
    // their postings name them.
    virtual void forgetUnusedTickets(std::int64_t issuedBefore) = 0;

    // Counts one request of `kind` from `client` in `minute` unless `limit` are counted there
    // already; true when counted. One statement, so instances sharing the database never overshoot.
    virtual bool countRequest(std::string_view kind, std::string_view client, std::int64_t minute, int limit) = 0;
    // Drops the counts of `kind` before `minute`.
    virtual void forgetRequestCounts(std::string_view kind, std::int64_t minute) = 0;
};

// A libpq connection URI ("postgresql://..." or "postgres://...") names a PostgreSQL database;
// anything else is the path of an SQLite file.
bool isPostgresUri(std::string_view database);

// Opens or creates the database, bringing its schema up to date; refuses one of a newer schema
// than this version knows. `connections` is the PostgreSQL pool's size; SQLite keeps one.
std::unique_ptr<Store> openStore(const std::string &database, int connections = Store::defaultConnections);
