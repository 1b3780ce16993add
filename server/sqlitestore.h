#pragma once

#include "postingqueue.h"
#include "store.h"

#include <memory>
#include <mutex>

struct sqlite3;
class Statement;

// The store in one SQLite file (WAL mode). One connection behind a mutex, so any thread of the
// server may call it. A database written by an earlier version is migrated in place when opened,
// keeping every row; the schema's version is PRAGMA user_version.
class SqliteStore final : public Store {
public:
    // Opens or creates the database; ":memory:" gives a private in-memory one. Refuses a
    // database of a newer schema than this version knows.
    explicit SqliteStore(const std::string &path);
    ~SqliteStore() override;
    SqliteStore(const SqliteStore &) = delete;
    SqliteStore &operator=(const SqliteStore &) = delete;

    void add(const Posting &posting) override;
    bool addVerified(const Posting &posting, std::string_view game) override;
    std::vector<StoredPosting> best(int limit) override;
    std::vector<StoredPosting> best(Ranking ranking, int limit) override;
    std::vector<StoredPosting> bestOfDay(std::string_view day, int limit) override;
    std::int64_t count() override;
    std::int64_t listVersion() override;
    void addTicket(const Ticket &ticket) override;
    std::optional<Ticket> ticket(std::string_view id) override;
    void forgetUnusedTickets(std::int64_t issuedBefore) override;
    bool countRequest(std::string_view kind, std::string_view client, std::int64_t minute, int limit) override;
    void forgetRequestCounts(std::string_view kind, std::int64_t minute) override;

private:
    // One transaction for all of a batch of postings.
    void addAll(const std::vector<const Posting *> &postings);
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
    // Declared last: it may call addAll() until it goes, and it goes first.
    PostingQueue m_postings{[this](const std::vector<const Posting *> &postings) { addAll(postings); }};
};
