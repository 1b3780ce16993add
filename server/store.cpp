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
    m_best = std::make_unique<Statement>(
        m_db.get(), "SELECT id, name, date, score, verified FROM postings ORDER BY score DESC, id DESC LIMIT ?1");
    m_count = std::make_unique<Statement>(m_db.get(), "SELECT COUNT(*) FROM postings");
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

std::vector<StoredPosting> Store::best(int limit)
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_best);
    m_best->bindInt(1, limit);
    std::vector<StoredPosting> rows;
    while (m_best->step()) {
        rows.push_back({m_best->columnInt(0), m_best->columnText(1), m_best->columnText(2),
                        static_cast<int>(m_best->columnInt(3)), m_best->columnInt(4) != 0});
    }
    return rows;
}

std::int64_t Store::count()
{
    const std::lock_guard lock(m_mutex);
    const ResetGuard guard(*m_count);
    if (!m_count->step())
        throw StoreError("count returned no row");
    return m_count->columnInt(0);
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
