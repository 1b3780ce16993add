#include "postgresstore.h"

#include "storeerror.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

// Any number of our own, the same in every instance: the key of the lock the schema is made under.
constexpr const char *lockSchema = "SELECT pg_advisory_xact_lock(7461727601)";

constexpr const char *createSchema =
    "CREATE TABLE schema_version (version INTEGER NOT NULL);"
    "CREATE TABLE postings ("
    " id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " date TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " posted_at TIMESTAMPTZ NOT NULL DEFAULT now(),"
    " verified BOOLEAN NOT NULL DEFAULT false,"
    " game TEXT);"
    "CREATE INDEX postings_rank ON postings (score DESC, id DESC);"
    "CREATE INDEX postings_game ON postings (game) WHERE game IS NOT NULL;"
    "CREATE INDEX postings_kind_rank ON postings (verified, score DESC, id DESC);"
    "CREATE TABLE request_counts ("
    " kind TEXT NOT NULL,"
    " client TEXT NOT NULL,"
    " minute BIGINT NOT NULL,"
    " requests INTEGER NOT NULL,"
    " PRIMARY KEY (kind, client, minute));"
    "CREATE TABLE tickets ("
    " id TEXT PRIMARY KEY,"
    " code TEXT NOT NULL,"
    " day TEXT,"
    " issued_at BIGINT NOT NULL,"
    " used BOOLEAN NOT NULL DEFAULT false);"
    "CREATE INDEX tickets_issued ON tickets (issued_at) WHERE NOT used;"
    "CREATE INDEX tickets_day ON tickets (day) WHERE day IS NOT NULL;"
    // Advanced after each posting has committed; see listVersion().
    "CREATE SEQUENCE list_version;"
    "INSERT INTO schema_version (version) VALUES (2);";

const std::vector<PreparedStatement> statements = {
    // A batch in one statement; ids follow the order of the arrays.
    {"insertAll", "INSERT INTO postings (name, date, score, verified)"
                  " SELECT name, date, score, false FROM unnest($1::text[], $2::text[], $3::integer[])"
                  " WITH ORDINALITY AS batch (name, date, score, position) ORDER BY position"},
    // The NOT used is the check: a ticket taken by another posting, from any instance, gives the
    // UPDATE no row and so inserts none; a concurrent taker waits for the first to end and then
    // finds it used. One statement, one round trip.
    {"claimAndInsert", "WITH claimed AS (UPDATE tickets SET used = true WHERE id = $4 AND NOT used RETURNING id)"
                       " INSERT INTO postings (name, date, score, verified, game) SELECT $1, $2, $3, true, id FROM claimed"},
    {"best", "SELECT id, name, date, score, verified FROM postings ORDER BY score DESC, id DESC LIMIT $1"},
    {"bestOfKind", "SELECT id, name, date, score, verified FROM postings WHERE verified = $1"
                   " ORDER BY score DESC, id DESC LIMIT $2"},
    {"bestOfDay", "SELECT p.id, p.name, p.date, p.score, p.verified FROM postings p JOIN tickets t ON t.id = p.game"
                  " WHERE t.day = $1 AND p.verified ORDER BY p.score DESC, p.id DESC LIMIT $2"},
    {"insertTicket", "INSERT INTO tickets (id, code, day, issued_at, used) VALUES ($1, $2, NULLIF($3::text, ''), $4, false)"},
    {"ticket", "SELECT id, code, COALESCE(day, ''), issued_at, used FROM tickets WHERE id = $1"},
    {"forgetTickets", "DELETE FROM tickets WHERE NOT used AND issued_at < $1"},
    {"count", "SELECT COUNT(*) FROM postings"},
    // A fresh sequence reads last_value 1 before its first nextval; is_called tells the two apart.
    {"listVersion", "SELECT CASE WHEN is_called THEN last_value ELSE 0 END FROM list_version"},
    {"advanceListVersion", "SELECT nextval('list_version')"},
    // The WHERE of the update leaves a full minute alone, and then RETURNING gives no row.
    {"countRequest", "INSERT INTO request_counts AS c (kind, client, minute, requests) VALUES ($1, $2, $3, 1)"
                     " ON CONFLICT (kind, client, minute) DO UPDATE SET requests = c.requests + 1"
                     " WHERE c.requests < $4 RETURNING c.requests"},
    {"forgetRequests", "DELETE FROM request_counts WHERE kind = $1 AND minute < $2"},
};

// BEGIN with the transaction's first statement; ROLLBACK on destruction unless committed, so the
// connection goes back to the pool outside any transaction.
class PgTransaction {
public:
    // One round trip. A session lost here has committed nothing.
    PgTransaction(PgConnection &connection, PgStep first)
        : m_connection(connection)
    {
        std::vector<PgResult> results = connection.pipeline({{nullptr, "BEGIN"}, std::move(first)});
        for (const PgResult &result : results) {
            if (const std::string failure = result.failure(); !failure.empty()) {
                rollback();
                throw StoreError(failure);
            }
        }
        m_first.emplace(std::move(results[1]));
    }
    ~PgTransaction()
    {
        if (!m_done)
            rollback();
    }
    PgTransaction(const PgTransaction &) = delete;
    PgTransaction &operator=(const PgTransaction &) = delete;

    const PgResult &first() const { return *m_first; }

    // COMMIT, and once it has gone through `after` (if any) in a transaction of its own, in one
    // round trip. False when `after` failed: the work is committed all the same.
    bool commit(const PgStep *after = nullptr)
    {
        m_done = true;
        std::vector<PgStep> steps = {{nullptr, "COMMIT"}};
        if (after)
            steps.push_back(*after);
        std::vector<PgResult> results;
        try {
            results = m_connection.pipeline(steps);
        } catch (const ConnectionLost &lost) {
            // Whether the server committed is unknown: never run the work again.
            throw StoreError(std::string("the connection was lost during COMMIT: ") + lost.what());
        }
        if (const std::string failure = results[0].failure(); !failure.empty())
            throw StoreError("COMMIT: " + failure);
        return !after || results[1].failure().empty();
    }

private:
    void rollback() noexcept
    {
        try {
            m_connection.command("ROLLBACK");
        } catch (...) {
            // A broken connection has no transaction left to roll back; the pool reconnects it.
        }
    }

    PgConnection &m_connection;
    std::optional<PgResult> m_first;
    bool m_done = false;
};

// COMMIT, with the list's version moved on in the same round trip (see PostgresStore::listVersion()).
// `pending` is set where the version may not have moved after a stored posting: the advance
// failed, or the COMMIT's outcome is unknown.
void commitPosting(PgTransaction &transaction, std::atomic<bool> &pending)
{
    static const PgStep advanceListVersion = {"advanceListVersion"};
    try {
        if (!transaction.commit(&advanceListVersion))
            pending = true;
    } catch (const StoreError &) {
        pending = true;
        throw;
    }
}

// A text[] parameter. Every element is quoted, so commas, braces, blanks and the word NULL stay text.
std::string textArray(const std::vector<const Posting *> &postings, std::string Posting::*field)
{
    std::string array = "{";
    for (const Posting *posting : postings) {
        if (array.size() > 1)
            array += ',';
        array += '"';
        for (const char c : posting->*field) {
            if (c == '"' || c == '\\')
                array += '\\';
            array += c;
        }
        array += '"';
    }
    return array + '}';
}

std::string scoreArray(const std::vector<const Posting *> &postings)
{
    std::string array = "{";
    for (const Posting *posting : postings) {
        if (array.size() > 1)
            array += ',';
        array += std::to_string(posting->score);
    }
    return array + '}';
}

std::string number(std::int64_t value)
{
    return std::to_string(value);
}

std::string limitOf(int limit)
{
    return number(std::max(limit, 0));
}

std::vector<StoredPosting> rowsOf(const PgResult &result)
{
    std::vector<StoredPosting> rows;
    rows.reserve(static_cast<std::size_t>(result.rows()));
    for (int row = 0; row < result.rows(); ++row) {
        rows.push_back({result.integer(row, 0), result.text(row, 1), result.text(row, 2),
                        static_cast<int>(result.integer(row, 3)), result.boolean(row, 4)});
    }
    return rows;
}

// Creates the tables in an empty database, or checks the version of those there. Under the
// lock, a second instance starting at the same moment waits and then finds them made.
const std::string &withSchema(const std::string &uri)
{
    PgConnection connection(uri);
    PgTransaction transaction(connection, {nullptr, lockSchema});
    const bool exists = connection.command("SELECT to_regclass('schema_version') IS NOT NULL").boolean(0, 0);
    int version = 0;
    if (exists) {
        const PgResult result = connection.command("SELECT COALESCE(MAX(version), 0) FROM schema_version");
        version = static_cast<int>(result.integer(0, 0));
    }
    if (version > Store::schemaVersion)
        throw StoreError("the database has schema " + std::to_string(version) + ", newer than this service's "
                         + std::to_string(Store::schemaVersion));
    if (version == 0) {
        connection.command(createSchema);
    } else if (version < Store::schemaVersion) {
        // Version 2 is the first on PostgreSQL; later versions add their steps here.
        throw StoreError("the database has schema " + std::to_string(version) + ", which no release wrote");
    }
    transaction.commit();
    return uri;
}

} // namespace

PostgresStore::PostgresStore(const std::string &uri, int connections)
    : m_pool(withSchema(uri), static_cast<std::size_t>(std::max(connections, 1)), statements)
    , m_postings([this](const std::vector<const Posting *> &postings) { addAll(postings); })
{
}

PostgresStore::~PostgresStore() = default;

template<typename Work>
auto PostgresStore::withConnection(Work &&work)
{
    auto lease = m_pool.acquire();
    try {
        return work(*lease);
    } catch (const ConnectionLost &) {
        // The session broke before the work reached a COMMIT (a COMMIT that may have gone through
        // throws StoreError instead), so none of it took effect: once more on a new session.
        // Single statements outside a transaction are rerun too; for countRequest that may count
        // one request twice, which errs on the side of the limit.
        lease->reconnect();
        return work(*lease);
    }
}

// Ids of postings commit out of order (one takes 10, another 11 and commits first), so the
// newest id could stand still while an older posting appears. The sequence moves only after a
// posting has committed: a reader that sees the new value lists after the posting is visible,
// and a reader that saw the old value will see it move.
void PostgresStore::advanceListVersion()
{
    m_advancePending = true;
    try {
        withConnection([](PgConnection &connection) { connection.run("advanceListVersion", {}); });
        m_advancePending = false;
    } catch (const StoreError &) {
        // The posting is stored; the version is advanced by this store's next call instead.
    }
}

void PostgresStore::add(const Posting &posting)
{
    m_postings.add(posting);
}

void PostgresStore::addAll(const std::vector<const Posting *> &postings)
{
    const PgStep insert = {"insertAll", nullptr,
                           {textArray(postings, &Posting::name), textArray(postings, &Posting::date), scoreArray(postings)}};
    withConnection([&](PgConnection &connection) {
        PgTransaction transaction(connection, insert);
        commitPosting(transaction, m_advancePending);
    });
}

bool PostgresStore::addVerified(const Posting &posting, std::string_view game)
{
    const PgStep claim = {"claimAndInsert", nullptr, {posting.name, posting.date, number(posting.score), std::string(game)}};
    return withConnection([&](PgConnection &connection) {
        PgTransaction transaction(connection, claim);
        if (transaction.first().affected() != 1)
            return false;
        commitPosting(transaction, m_advancePending);
        return true;
    });
}

std::vector<StoredPosting> PostgresStore::best(int limit)
{
    return withConnection([limit](PgConnection &connection) { return rowsOf(connection.run("best", {limitOf(limit)})); });
}

std::vector<StoredPosting> PostgresStore::best(Ranking ranking, int limit)
{
    const std::string verified = ranking == Ranking::Verified ? "true" : "false";
    return withConnection([&verified, limit](PgConnection &connection) {
        return rowsOf(connection.run("bestOfKind", {verified, limitOf(limit)}));
    });
}

std::vector<StoredPosting> PostgresStore::bestOfDay(std::string_view day, int limit)
{
    return withConnection([day, limit](PgConnection &connection) {
        return rowsOf(connection.run("bestOfDay", {std::string(day), limitOf(limit)}));
    });
}

std::int64_t PostgresStore::count()
{
    return withConnection([](PgConnection &connection) { return connection.run("count", {}).integer(0, 0); });
}

std::int64_t PostgresStore::listVersion()
{
    if (m_advancePending)
        advanceListVersion();
    return withConnection([](PgConnection &connection) { return connection.run("listVersion", {}).integer(0, 0); });
}

void PostgresStore::addTicket(const Ticket &ticket)
{
    // In a transaction, so a connection lost before COMMIT is known to have stored nothing.
    const PgStep insert = {"insertTicket", nullptr, {ticket.id, ticket.code, ticket.day, number(ticket.issuedAt)}};
    withConnection([&insert](PgConnection &connection) { PgTransaction(connection, insert).commit(); });
}

std::optional<Ticket> PostgresStore::ticket(std::string_view id)
{
    return withConnection([id](PgConnection &connection) -> std::optional<Ticket> {
        const PgResult result = connection.run("ticket", {std::string(id)});
        if (result.rows() == 0)
            return std::nullopt;
        return Ticket{result.text(0, 0), result.text(0, 1), result.text(0, 2), result.integer(0, 3), result.boolean(0, 4)};
    });
}

void PostgresStore::forgetUnusedTickets(std::int64_t issuedBefore)
{
    withConnection([issuedBefore](PgConnection &connection) { connection.run("forgetTickets", {number(issuedBefore)}); });
}

bool PostgresStore::countRequest(std::string_view kind, std::string_view client, std::int64_t minute, int limit)
{
    return withConnection([&](PgConnection &connection) {
        return connection.run("countRequest", {std::string(kind), std::string(client), number(minute), number(limit)}).rows() == 1;
    });
}

void PostgresStore::forgetRequestCounts(std::string_view kind, std::int64_t minute)
{
    withConnection([kind, minute](PgConnection &connection) {
        connection.run("forgetRequests", {std::string(kind), number(minute)});
    });
}
