#include "ratelimiter.h"

#include "store.h"

#include <arpa/inet.h>

#include <array>
#include <cstdio>

namespace ratelimit {

std::string clientKey(std::string_view address)
{
    const std::string text(address);
    std::array<unsigned char, 16> bytes{};
    if (text.find(':') == std::string::npos || ::inet_pton(AF_INET6, text.c_str(), bytes.data()) != 1)
        return text;
    char key[48];
    std::snprintf(key, sizeof key, "%02x%02x:%02x%02x:%02x%02x:%02x%02x::/64", bytes[0], bytes[1], bytes[2], bytes[3],
                  bytes[4], bytes[5], bytes[6], bytes[7]);
    return key;
}

} // namespace ratelimit

namespace {

std::int64_t secondsOf(std::chrono::system_clock::time_point now)
{
    return std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
}

} // namespace

StoreRateLimiter::StoreRateLimiter(Store &store, std::string kind, int perMinute, Now now)
    : m_store(store)
    , m_kind(std::move(kind))
    , m_perMinute(perMinute)
    , m_now(now ? std::move(now) : Now([] { return std::chrono::system_clock::now(); }))
{
}

bool StoreRateLimiter::admit(std::string_view clientAddress)
{
    if (m_perMinute <= 0)
        return true;
    const std::int64_t minute = secondsOf(m_now()) / ratelimit::windowSeconds;
    // The first request of a new minute clears the counts of minutes gone by.
    std::int64_t last = m_lastMinute.load();
    if (last != minute && m_lastMinute.compare_exchange_strong(last, minute))
        m_store.forgetRequestCounts(m_kind, minute);
    return m_store.countRequest(m_kind, ratelimit::clientKey(clientAddress), minute, m_perMinute);
}

int StoreRateLimiter::retryAfter() const
{
    return static_cast<int>(ratelimit::windowSeconds - secondsOf(m_now()) % ratelimit::windowSeconds);
}
