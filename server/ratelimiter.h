#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class Store;

// Decides whether one more request from a client address may go ahead. Implementations keep
// their counts where every instance of the service sees them, so a limit holds across
// instances that share one database.
class RateLimiter {
public:
    virtual ~RateLimiter() = default;
    // Counts the request when it is admitted; a refused one is not counted.
    virtual bool admit(std::string_view clientAddress) = 0;
    // Seconds until a refused client may try again.
    virtual int retryAfter() const = 0;
};

namespace ratelimit {

constexpr int windowSeconds = 60;

// The key a client is counted under: an IPv4 address as it is, an IPv6 address by its /64
// network (one subscriber's share), so an attacker cannot spread over the addresses of one line.
std::string clientKey(std::string_view address);

} // namespace ratelimit

// At most `perMinute` requests of one kind per client key in each minute of the wall clock
// (shared by every instance), counted in the store's database (table request_counts); 0 admits
// everything without touching the database.
class StoreRateLimiter final : public RateLimiter {
public:
    using Now = std::function<std::chrono::system_clock::time_point()>;

    // `now` empty: the system clock.
    StoreRateLimiter(Store &store, std::string kind, int perMinute, Now now = {});

    bool admit(std::string_view clientAddress) override;
    int retryAfter() const override;

private:
    Store &m_store;
    const std::string m_kind;
    const int m_perMinute;
    const Now m_now;
    std::atomic<std::int64_t> m_lastMinute{-1};
};
