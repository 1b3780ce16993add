#include "firstschema.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace {

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

Database open(const std::filesystem::path &path)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open(path.c_str(), &raw);
    Database db(raw, &sqlite3_close);
    if (rc != SQLITE_OK)
        throw std::runtime_error("cannot open " + path.string());
    return db;
}

void exec(sqlite3 *db, const std::string &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(text + " in " + sql);
    }
}

std::string text(sqlite3_stmt *statement, int column)
{
    const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return value ? value : "";
}

} // namespace

void writeFirstSchemaDatabase(const std::filesystem::path &path, const std::vector<FirstSchemaRow> &rows)
{
    const Database db = open(path);
    // The first release's statements, word for word.
    exec(db.get(), "PRAGMA journal_mode=WAL");
    exec(db.get(), "PRAGMA synchronous=NORMAL");
    exec(db.get(),
         "CREATE TABLE IF NOT EXISTS postings ("
         " id INTEGER PRIMARY KEY AUTOINCREMENT,"
         " name TEXT NOT NULL,"
         " date TEXT NOT NULL,"
         " score INTEGER NOT NULL,"
         " posted_at TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP)");
    exec(db.get(), "CREATE INDEX IF NOT EXISTS postings_rank ON postings (score DESC, id DESC)");

    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), "INSERT INTO postings (name, date, score, posted_at) VALUES (?1, ?2, ?3, ?4)", -1, &raw,
                           nullptr)
        != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> insert(raw, &sqlite3_finalize);
    for (const FirstSchemaRow &row : rows) {
        sqlite3_bind_text(raw, 1, row.name.data(), static_cast<int>(row.name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(raw, 2, row.date.data(), static_cast<int>(row.date.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(raw, 3, row.score);
        sqlite3_bind_text(raw, 4, row.postedAt.data(), static_cast<int>(row.postedAt.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(raw) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db.get()));
        sqlite3_reset(raw);
    }
    exec(db.get(), "DELETE FROM postings WHERE name = 'deleted'");
}

std::vector<RawRow> readRows(const std::filesystem::path &path)
{
    const Database db = open(path);
    sqlite3_stmt *probe = nullptr;
    const bool hasVerified = sqlite3_prepare_v2(db.get(), "SELECT verified FROM postings", -1, &probe, nullptr) == SQLITE_OK;
    sqlite3_finalize(probe);
    const std::string sql = std::string("SELECT id, name, date, score, posted_at") + (hasVerified ? ", verified" : "")
                            + " FROM postings ORDER BY id";
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> select(raw, &sqlite3_finalize);
    std::vector<RawRow> rows;
    while (sqlite3_step(raw) == SQLITE_ROW) {
        rows.push_back({sqlite3_column_int64(raw, 0), text(raw, 1), text(raw, 2), sqlite3_column_int(raw, 3), text(raw, 4),
                        hasVerified ? sqlite3_column_int(raw, 5) : -1});
    }
    return rows;
}

int readUserVersion(const std::filesystem::path &path)
{
    const Database db = open(path);
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), "PRAGMA user_version", -1, &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> pragma(raw, &sqlite3_finalize);
    return sqlite3_step(raw) == SQLITE_ROW ? sqlite3_column_int(raw, 0) : -1;
}
