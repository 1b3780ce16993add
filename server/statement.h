#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement owned for the life of its connection; reset() makes it reusable.
// Not thread-safe: the owner serialises use of the connection.
class Statement {
public:
    Statement(sqlite3 *db, std::string_view sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bindText(int index, std::string_view value);
    void bindInt(int index, std::int64_t value);
    // True while a row is available; throws StoreError on failure.
    bool step();
    std::string columnText(int column) const;
    std::int64_t columnInt(int column) const;
    void reset();

private:
    void check(int rc) const;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
};
