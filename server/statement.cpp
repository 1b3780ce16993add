#include "statement.h"

#include "storeerror.h"

#include <sqlite3.h>

Statement::Statement(sqlite3 *db, std::string_view sql)
    : m_db(db)
{
    check(sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr));
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::bindText(int index, std::string_view value)
{
    check(sqlite3_bind_text(m_statement, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
}

void Statement::bindInt(int index, std::int64_t value)
{
    check(sqlite3_bind_int64(m_statement, index, value));
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // Clear the failed state so the statement stays usable for the next request.
    sqlite3_reset(m_statement);
    throw StoreError(sqlite3_errmsg(m_db));
}

std::string Statement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::int64_t Statement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void Statement::check(int rc) const
{
    if (rc != SQLITE_OK)
        throw StoreError(sqlite3_errmsg(m_db));
}
