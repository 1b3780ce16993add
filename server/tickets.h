#pragma once

#include "boardcode.h"

#include <cstddef>
#include <string>
#include <string_view>

// Game tickets: what the service hands out before a game, so that the posting that ends the game
// can be replayed against the board it was played on.
namespace tickets {

constexpr std::size_t minIdLength = 16;
constexpr std::size_t maxIdLength = 64;
// A game may be posted from this long after its ticket was handed out, and no later.
constexpr long long maxGameSeconds = 24 * 60 * 60;
// Unused tickets older than this are dropped; until then a late posting hears "too late".
constexpr long long keepUnusedSeconds = 2 * maxGameSeconds;

// 192 bits from the system's cryptographic generator as 32 characters of base64url, so an id
// cannot be guessed from the ids handed out before it. Throws std::runtime_error when the
// generator fails.
std::string newGameId();
// A fresh board's seed from the same generator.
rules::Seed randomSeed();

// minIdLength..maxIdLength characters of A-Z a-z 0-9 - _.
bool isGameId(std::string_view text);

} // namespace tickets
