#include "connectionpool.h"

#include <utility>

ConnectionPool::ConnectionPool(std::string uri, std::size_t size, std::vector<PreparedStatement> statements)
    : m_uri(std::move(uri))
    , m_size(size > 0 ? size : 1)
    , m_statements(std::move(statements))
{
    m_idle.push_back(std::make_unique<PgConnection>(m_uri, m_statements));
    m_open = 1;
}

ConnectionPool::~ConnectionPool() = default;

ConnectionPool::Lease::Lease(ConnectionPool &pool, std::unique_ptr<PgConnection> connection)
    : m_pool(pool)
    , m_connection(std::move(connection))
{
}

ConnectionPool::Lease::Lease(Lease &&other) noexcept
    : m_pool(other.m_pool)
    , m_connection(std::move(other.m_connection))
{
}

ConnectionPool::Lease::~Lease()
{
    m_pool.giveBack(std::move(m_connection));
}

ConnectionPool::Lease ConnectionPool::acquire()
{
    std::unique_ptr<PgConnection> connection;
    {
        std::unique_lock lock(m_mutex);
        if (!m_returned.wait_for(lock, waitLimit, [this] { return !m_idle.empty() || m_open < m_size; }))
            throw StoreError("no PostgreSQL connection came free within " + std::to_string(waitLimit.count()) + " s");
        if (!m_idle.empty()) {
            connection = std::move(m_idle.back());
            m_idle.pop_back();
        } else {
            ++m_open; // this thread's to open, outside the lock
        }
    }
    if (!connection) {
        try {
            connection = std::make_unique<PgConnection>(m_uri, m_statements);
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            --m_open;
            m_returned.notify_one();
            throw;
        }
    }
    Lease lease(*this, std::move(connection));
    // Still lent if this throws: the lease gives the broken connection back for a later try.
    if (lease->isBroken())
        lease->reconnect();
    return lease;
}

void ConnectionPool::giveBack(std::unique_ptr<PgConnection> connection)
{
    if (!connection)
        return;
    const std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(connection));
    m_returned.notify_one();
}
