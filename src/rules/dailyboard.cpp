#include "dailyboard.h"

#include <cstdint>
#include <cstdio>

namespace rules {

namespace {

constexpr std::uint64_t DailySalt = 0x544152564C45u;

constexpr std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

bool digits(std::string_view text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int number(std::string_view text)
{
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

Seed dailySeed(std::chrono::year_month_day day)
{
    const std::int64_t number = std::chrono::sys_days(day).time_since_epoch().count();
    return mix(std::uint64_t(number) + DailySalt) & SeedMask;
}

std::string isoDate(std::chrono::year_month_day day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()), static_cast<unsigned>(day.month()),
                  static_cast<unsigned>(day.day()));
    return text;
}

std::optional<std::chrono::year_month_day> readIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const std::string_view year = text.substr(0, 4);
    const std::string_view month = text.substr(5, 2);
    const std::string_view day = text.substr(8, 2);
    if (!digits(year) || !digits(month) || !digits(day))
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(number(year)),
                                           std::chrono::month(unsigned(number(month))),
                                           std::chrono::day(unsigned(number(day)))};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::chrono::year_month_day utcToday()
{
    // The system clock counts Unix time, which is UTC.
    return std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
}

} // namespace rules
