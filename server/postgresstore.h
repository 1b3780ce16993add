#pragma once

#include "connectionpool.h"
#include "postingqueue.h"
#include "store.h"

#include <atomic>

// The store in a PostgreSQL database, for several instances of the service sharing one list.
// Operations borrow a connection of the pool; one whose connection broke before it reached a
// COMMIT runs once more on a new session, so a restarted server or a killed backend costs no
// request. The database must exist; its tables are created at the first start, in a transaction
// under an advisory lock, so instances starting together create them once. The schema's version
// is the row of table schema_version.
class PostgresStore final : public Store {
public:
    // `uri` is any libpq connection URI. Throws StoreError when the server cannot be reached or
    // holds a schema newer than this version knows (the database is left as it was).
    PostgresStore(const std::string &uri, int connections = defaultConnections);
    ~PostgresStore() override;
    PostgresStore(const PostgresStore &) = delete;
    PostgresStore &operator=(const PostgresStore &) = delete;

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
    template<typename Work>
    auto withConnection(Work &&work);
    void advanceListVersion();

    ConnectionPool m_pool;
    // A posting was stored but the version could not be advanced after it; the next call does it.
    std::atomic<bool> m_advancePending{false};
    // Declared last: it may call addAll() until it goes, and it goes first. One batch at a time:
    // the postings that arrive meanwhile make the next batch, which measured faster than several
    // smaller batches committing side by side, and leaves the rest of the pool to pages and tickets.
    PostingQueue m_postings;
};
