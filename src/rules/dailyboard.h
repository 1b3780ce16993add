#pragma once

#include "boardcode.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// The day's board: one seed per calendar day, the same for every player on
// that date in UTC. The seed is the day's number counted from 1970-01-01
// (negative before it) as a 64-bit two's-complement value, plus the constant
// 0x544152564C45 ("TARVLE"), mixed by SplitMix64's output function (see
// dealdice.h) and cut to its low 40 bits.
namespace rules {

Seed dailySeed(std::chrono::year_month_day day);

// The date of a text YYYY-MM-DD (four-digit year); nothing for anything
// else, also for a date the calendar does not have.
std::optional<std::chrono::year_month_day> readIsoDate(std::string_view text);

// YYYY-MM-DD, as readIsoDate() reads it.
std::string isoDate(std::chrono::year_month_day day);

// Today's date in UTC.
std::chrono::year_month_day utcToday();

} // namespace rules
