#include "scorescache.h"

#include "boardcode.h"
#include "dailyboard.h"
#include "dealdice.h"
#include "service.h"
#include "store.h"

ScoresCache::ScoresCache(Store &store, std::chrono::milliseconds checkInterval, Clock clock)
    : m_store(store)
    , m_checkInterval(checkInterval)
    , m_clock(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); }))
{
}

std::shared_ptr<const pages::BasedPage> ScoresCache::page()
{
    // One lock for the check and the making: requests arriving meanwhile wait for the new page
    // rather than all asking the database at once.
    const std::lock_guard lock(m_mutex);
    const auto now = m_clock();
    if (m_page && !m_changed && now - m_checkedAt < m_checkInterval)
        return m_page;

    const auto today = rules::utcToday();
    const std::string day = rules::isoDate(today);
    // The version is read before the lists: a posting stored in between is on the page and
    // moves the version again, which costs one needless remake, never a stale page.
    const std::int64_t version = m_store.listVersion();
    if (!m_page || version != m_version || day != m_day)
        m_page = make(today);
    m_version = version;
    m_day = day;
    m_checkedAt = now;
    m_changed = false;
    return m_page;
}

void ScoresCache::listChanged()
{
    const std::lock_guard lock(m_mutex);
    m_changed = true;
}

std::shared_ptr<const pages::BasedPage> ScoresCache::make(std::chrono::year_month_day today)
{
    using service::bestCount;
    pages::ScoreLists lists;
    lists.verified = m_store.best(Ranking::Verified, bestCount);
    lists.todayCode = rules::boardCode(rules::dailySeed(today));
    lists.today = m_store.bestOfDay(rules::isoDate(today), bestCount);
    lists.unverified = m_store.best(Ranking::Unverified, bestCount);
    return std::make_shared<const pages::BasedPage>(pages::scoresPageWithoutBase(lists));
}
