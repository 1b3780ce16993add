#pragma once

struct sqlite3;

// Begins an immediate transaction; rolls it back on destruction unless commit() succeeded.
class Transaction {
public:
    explicit Transaction(sqlite3 *db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    sqlite3 *m_db = nullptr;
    bool m_done = false;
};
