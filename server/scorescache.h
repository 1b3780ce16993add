#pragma once

#include "pages.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class Store;

// The high score page, made from the store once per change rather than once per request.
// The store's list version is read at most once per check interval, so a posting stored by
// another instance shows within that interval, and one stored here shows at once (after
// listChanged()). Safe from any thread.
class ScoresCache {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::milliseconds defaultCheckInterval{1000};

    // `clock` empty: the steady clock.
    explicit ScoresCache(Store &store, std::chrono::milliseconds checkInterval = defaultCheckInterval, Clock clock = {});

    // The page as of the latest check; may make it first. Store failures throw StoreError.
    std::shared_ptr<const pages::BasedPage> page();
    // This instance stored a posting: the next page() checks the version.
    void listChanged();

private:
    std::shared_ptr<const pages::BasedPage> make(std::chrono::year_month_day today);

    Store &m_store;
    const std::chrono::milliseconds m_checkInterval;
    const Clock m_clock;

    std::mutex m_mutex;
    std::shared_ptr<const pages::BasedPage> m_page;
    std::int64_t m_version = -1;
    std::string m_day; // the UTC day the page's daily section is of
    std::chrono::steady_clock::time_point m_checkedAt;
    bool m_changed = true;
};
