#include "transaction.h"

#include "statement.h"

Transaction::Transaction(sqlite3 *db)
    : m_db(db)
{
    Statement begin(m_db, "BEGIN IMMEDIATE");
    begin.step();
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        Statement rollback(m_db, "ROLLBACK");
        rollback.step();
    } catch (...) {
        // A failed rollback leaves nothing better to do in a destructor; SQLite rolls back
        // an open transaction when the connection closes.
    }
}

void Transaction::commit()
{
    Statement commitStatement(m_db, "COMMIT");
    commitStatement.step();
    m_done = true;
}
