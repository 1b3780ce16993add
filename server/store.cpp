#include "store.h"

#include "statement.h"
#include "storeerror.h"
#include "transaction.h"

#include <sqlite3.h>

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
    run(m_db.get(),
        "CREATE TABLE IF NOT EXISTS postings ("
        " id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " name TEXT NOT NULL,"
        " date TEXT NOT NULL,"
        " score INTEGER NOT NULL,"
        " posted_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)");
    run(m_db.get(), "CREATE INDEX IF NOT EXISTS postings_rank ON postings (score DESC, id DESC)");

    m_insert = std::make_unique<Statement>(m_db.get(), "INSERT INTO postings (name, date, score) VALUES (?1, ?2, ?3)");
    m_best = std::make_unique<Statement>(m_db.get(), "SELECT id, name, date, score FROM postings ORDER BY score DESC, id DESC LIMIT ?1");
    m_count = std::make_unique<Statement>(m_db.get(), "SELECT COUNT(*) FROM postings");
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
                        static_cast<int>(m_best->columnInt(3))});
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
