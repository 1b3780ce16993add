#include "store.h"

#include "statement.h"
#include "storeerror.h"
#include "transaction.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace {

constexpr int busyTimeoutMs = 5000;

void run(sqlite3 *db, const char *sql)
{
    Statement statement(db, sql);
    while (statement.step()) {
    }
}

// Resets a shared statement however the caller leaves, so the next request finds it clean.
class ResetGuard {
public:
    explicit ResetGuard(Statement &statement) : m_statement(statement) {}
    ~ResetGuard() { m_statement.reset(); }
    ResetGuard(const ResetGuard &) = delete;
    ResetGuard &operator=(const ResetGuard &) = delete;

private:
    Statement &m_statement;
};

int userVersion(sqlite3 *db)
{
    Statement statement(db, "PRAGMA user_version");
    if (!statement.step())
        throw StoreError("user_version returned no row");
    return static_cast<int>(statement.columnInt(0));
}

bool hasColumn(sqlite3 *db, std::string_view table, std::string_view column)
{
    Statement statement(db, "SELECT COUNT(*) FROM pragma_table_info(?1) WHERE name = ?2");
    statement.bindText(1, table);
    statement.bindText(2, column);
    return statement.step() && statement.columnInt(0) > 0;
}

// Brings any earlier schema up to Store::schemaVersion in one transaction, so an instance
// starting beside another waits for it and then finds the work done.
void migrate(sqlite3 *db)
{
    Transaction transaction(db);
    const int version = userVersion(db);
    if (version > Store::schemaVersion)
        throw StoreError("the database has schema " + std::to_string(version) + ", newer than this service's "
                         + std::to_string(Store::schemaVersion));
    if (version < 1) {
        // Version 0 is the first release's table, or nothing at all.
        run(db,
            "CREATE TABLE IF NOT EXISTS postings ("
            " id INTEGER PRIMARY KEY AUTOINCREMENT,"
            " name TEXT NOT NULL,"
            " date TEXT NOT NULL,"
            " score INTEGER NOT NULL,"
            " posted_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP,"
            " verified INTEGER NOT NULL DEFAULT 0)");
        if (!hasColumn(db, "postings", "verified"))
            run(db, "ALTER TABLE postings ADD COLUMN verified INTEGER NOT NULL DEFAULT 0");
        run(db, "CREATE INDEX IF NOT EXISTS postings_rank ON postings (score DESC, id DESC)");
        run(db,
            "CREATE TABLE IF NOT EXISTS request_counts ("
            " kind TEXT NOT NULL,"
            " client TEXT NOT NULL,"
            " minute INTEGER NOT NULL,"
            " requests INTEGER NOT NULL,"
            " PRIMARY KEY (kind, client, minute)) WITHOUT ROWID");
        run(db, "PRAGMA user_version = 1");
    }
    if (version < 2) {
        // Tickets, and the ticket a verified posting was made with (NULL for the others).
        run(db,
            "CREATE TABLE IF NOT EXISTS tickets ("
            " id TEXT PRIMARY KEY,"
            " code TEXT NOT NULL,"
            " day TEXT,"
            " issued_at INTEGER NOT NULL,"
            " used INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID");
        run(db, "CREATE INDEX IF NOT EXISTS tickets_issued ON tickets (issued_at) WHERE used = 0");
        run(db, "CREATE INDEX IF NOT EXISTS tickets_day ON tickets (day) WHERE day IS NOT NULL");
        if (!hasColumn(db, "postings", "game"))
            run(db, "ALTER TABLE postings ADD COLUMN game TEXT");
        run(db, "CREATE INDEX IF NOT EXISTS postings_game ON postings (game) WHERE game IS NOT NULL");
        run(db, "CREATE INDEX IF NOT EXISTS postings_kind_rank ON postings (verified, score DESC, id DESC)");
        run(db, "PRAGMA user_version = 2");
    }
    transaction.commit();
}

} // namespace

void Store::Closer::operator()(sqlite3 *db) const
{
    sqlite3_close(db);
}

Store::Store(const std::string &path)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    m_db.reset(raw);
    if (rc != SQLITE_OK)
        throw StoreError(raw ? sqlite3_errmsg(raw) : "cannot open database");
    sqlite3_busy_timeout(m_db.get(), busyTimeoutMs);
    sqlite3_extended_result_codes(m_db.get(), 1);

    run(m_db.get(), "PRAGMA journal_mode=WAL");
    run(m_db.get(), "PRAGMA synchronous=NORMAL");
    migrate(m_db.get());

    m_insert = std::make_unique<Statement>(m_db.get(), "INSERT INTO postings (name, date, score, verified) VALUES (?1, ?2, ?3, 0)");
    m_insertVerified = std::make_unique<Statement>(
        m_db.get(), "INSERT INTO postings (name, date, score, verified, game) VALUES (?1, ?2, ?3, 1, ?4)");
    m_claimTicket = std::make_unique<Statement>(m_db.get(), "UPDATE tickets SET used = 1 WHERE id = ?1 AND used = 0");
    m_best = std::make_unique<Statement>(
        m_db.get(), "SELECT id, name, date, score, verified FROM postings ORDER BY score DESC, id DESC LIMIT ?1");
    m_bestOfKind = std::make_unique<Statement>(m_db.get(),
                                               "SELECT id, name, date, score, verified FROM postings WHERE verified = ?1"
                                               " ORDER BY score DESC, id DESC LIMIT ?2");
    m_bestOfDay = std::make_unique<Statement>(
        m_db.get(),
        "SELECT p.id, p.name, p.date, p.score, p.verified FROM postings p JOIN tickets t ON t.id = p.game"
        " WHERE t.day = ?1 AND p.verified = 1 ORDER BY p.score DESC, p.id DESC LIMIT ?2");
    m_insertTicket = std::make_unique<Statement>(
        m_db.get(), "INSERT INTO tickets (id, code, day, issued_at, used) VALUES (?1, ?2, NULLIF(?3, ''), ?4, 0)");
    m_ticket = std::make_unique<Statement>(m_db.get(),
                                           "SELECT id, code, IFNULL(day, ''), issued_at, used FROM tickets WHERE id = ?1");
    m_forgetTickets = std::make_unique<Statement>(m_db.get(), "DELETE FROM tickets WHERE used = 0 AND issued_at < ?1");
    m_count = std::make_unique<Statement>(m_db.get(), "SELECT COUNT(*) FROM postings");
    // Writers take the file one at a time and postings are never deleted, so the newest id only
    // grows, and grows with every posting stored.
    m_listVersion = std::make_unique<Statement>(m_db.get(), "SELECT IFNULL(MAX(id), 0) FROM postings");
    // The WHERE of the update leaves a full minute alone, and then RETURNING gives no row.
    m_countRequest = std::make_unique<Statement>(
        m_db.get(),
        "INSERT INTO request_counts (kind, client, minute, requests) VALUES (?1, ?2, ?3, 1)"
        " ON CONFLICT (kind, client, minute) DO UPDATE SET requests = requests + 1 WHERE requests < ?4"
        " RETURNING requests");
    m_forgetRequests = std::make_unique<Statement>(m_db.get(), "DELETE FROM request_counts WHERE kind = ?1 AND minute < ?2");
}

Store::~Store() = default;

void Store::add(const Posting &posting)
{
    const std::lock_guard lock(m_mutex);
    Transaction transaction(m_db.get());
    const ResetGuard guard(*m_insert);
    m_insert->bindText(1, posting.name);
    m_insert->bindText(2, posting.date);
    m_insert->bindInt(3, posting.score);
    m_insert->step();
    transaction.commit();
}

bool Store::addVerified(const Posting &posting, std::string_view game)
{
    const std::lock_guard lock(m_mutex);
    Transaction transaction(m_db.get());
    {
        const ResetGuard guard(*m_claimTicket);
        m_claimTicket->bindText(1, game);
        m_claimTicket->step();
        // The WHERE used = 0 is the check: a ticket taken by another posting changes no row.
        if (sqlite3_changes(m_db.get()) != 1)
            return false;
    }
    const ResetGuard guard(*m_insertVerified);
    m_insertVerified->bindText(1, posting.name);
    m_insertVerified->bindText(2, posting.date);
    m_insertVerified->bindInt(3, posting.score);
    m_insertVerified->bindText(4, game);
    m_insertVerified->step();
    transaction.commit();
    return true;
}

std::vector<StoredPosting> Store::rows(Statement &statement)
{
    std::vector<StoredPosting> rows;
    while (statement.step()) {
        rows.push_back({statement.columnInt(0), statement.columnText(1), statement.columnText(2),
                        static_cast<int>(statement.columnInt(3)), statement.columnInt(4) != 0});
    }
    return rows;
}

std::vector<StoredPosting> Store::best(int limit)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_best);
    m_best->bindInt(1, limit);
    return rows(*m_best);
}

std::vector<StoredPosting> Store::best(Ranking ranking, int limit)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_bestOfKind);
    m_bestOfKind->bindInt(1, ranking == Ranking::Verified ? 1 : 0);
    m_bestOfKind->bindInt(2, limit);
    return rows(*m_bestOfKind);
}

std::vector<StoredPosting> Store::bestOfDay(std::string_view day, int limit)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_bestOfDay);
    m_bestOfDay->bindText(1, day);
    m_bestOfDay->bindInt(2, limit);
    return rows(*m_bestOfDay);
}

void Store::addTicket(const Ticket &ticket)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_insertTicket);
    m_insertTicket->bindText(1, ticket.id);
    m_insertTicket->bindText(2, ticket.code);
    m_insertTicket->bindText(3, ticket.day);
    m_insertTicket->bindInt(4, ticket.issuedAt);
    m_insertTicket->step();
}

std::optional<Ticket> Store::ticket(std::string_view id)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_ticket);
    m_ticket->bindText(1, id);
    if (!m_ticket->step())
        return std::nullopt;
    return Ticket{m_ticket->columnText(0), m_ticket->columnText(1), m_ticket->columnText(2), m_ticket->columnInt(3),
                  m_ticket->columnInt(4) != 0};
}

void Store::forgetUnusedTickets(std::int64_t issuedBefore)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_forgetTickets);
    m_forgetTickets->bindInt(1, issuedBefore);
    while (m_forgetTickets->step()) {
    }
}

std::int64_t Store::count()
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_count);
    if (!m_count->step())
        throw StoreError("count returned no row");
    return m_count->columnInt(0);
}

std::int64_t Store::listVersion()
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_listVersion);
    if (!m_listVersion->step())
        throw StoreError("the list version query returned no row");
    return m_listVersion->columnInt(0);
}

bool Store::countRequest(std::string_view kind, std::string_view client, std::int64_t minute, int limit)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_countRequest);
    m_countRequest->bindText(1, kind);
    m_countRequest->bindText(2, client);
    m_countRequest->bindInt(3, minute);
    m_countRequest->bindInt(4, limit);
    // Step past the returned row to finish the statement; never step again after it is done,
    // which would run it a second time.
    const bool counted = m_countRequest->step();
    if (counted && m_countRequest->step())
        throw StoreError("counting a request returned two rows");
    return counted;
}

void Store::forgetRequestCounts(std::string_view kind, std::int64_t minute)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_forgetRequests);
    m_forgetRequests->bindText(1, kind);
    m_forgetRequests->bindInt(2, minute);
    while (m_forgetRequests->step()) {
    }
}
