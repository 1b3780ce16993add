#pragma once

#include "pgconnection.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Up to `size` PostgreSQL connections shared by the service's threads. A libpq connection serves
// one thread at a time, so each store operation borrows one for its whole length and gives it
// back; connections are opened when first needed and kept. Never hold two leases at once: with
// every connection borrowed that way the pool would wait for itself.
class ConnectionPool {
public:
    static constexpr auto waitLimit = std::chrono::seconds(30);

    // Opens the first connection at once, so a wrong URI fails here and not at the first request.
    ConnectionPool(std::string uri, std::size_t size, std::vector<PreparedStatement> statements);
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool &) = delete;
    ConnectionPool &operator=(const ConnectionPool &) = delete;

    class Lease {
    public:
        Lease(ConnectionPool &pool, std::unique_ptr<PgConnection> connection);
        ~Lease();
        Lease(Lease &&other) noexcept;
        Lease &operator=(Lease &&) = delete;
        PgConnection &operator*() const { return *m_connection; }
        PgConnection *operator->() const { return m_connection.get(); }

    private:
        ConnectionPool &m_pool;
        std::unique_ptr<PgConnection> m_connection;
    };

    // A connection of its own for the caller; a broken one is reconnected first. Throws StoreError
    // when none can be had within waitLimit or the server cannot be reached.
    Lease acquire();
    std::size_t size() const { return m_size; }

private:
    void giveBack(std::unique_ptr<PgConnection> connection);

    const std::string m_uri;
    const std::size_t m_size;
    const std::vector<PreparedStatement> m_statements;
    std::mutex m_mutex;
    std::condition_variable m_returned;
    std::vector<std::unique_ptr<PgConnection>> m_idle;
    std::size_t m_open = 0; // idle and lent
};
