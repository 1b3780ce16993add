#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Board codes: a board's 40-bit seed written as 8 characters of Crockford's
// base32, the most significant five bits first. Written with the digits 0..9
// and the upper-case letters A..Z without I, L, O and U; read in either case,
// with O read as 0 and I and L as 1, so a code copied by hand still works.
namespace rules {

using Seed = std::uint64_t;

constexpr int SeedBits = 40;
constexpr Seed SeedMask = (Seed(1) << SeedBits) - 1;
constexpr std::size_t BoardCodeLength = 8;

// The code of a seed; bits above the 40 of a seed are ignored.
std::string boardCode(Seed seed);

// A code read: its seed, or why the text is not a code, in a sentence a
// player can read.
struct CodeReading {
    std::optional<Seed> seed;
    std::string error;
};
// Exactly BoardCodeLength characters; nothing around them is skipped.
CodeReading readBoardCode(std::string_view text);

} // namespace rules
