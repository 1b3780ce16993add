#pragma once

#include "boardcode.h"
#include "geometry.h"

#include <cstdint>

// The deal from a seed, the same on every platform and compiler.
//
// The generator is SplitMix64 (Steele, Lea and Flood, 2014): a 64-bit state
// that starts as the seed; each step adds 0x9E3779B97F4A7C15 to it (mod 2^64)
// and outputs the state mixed by
//     z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9
//     z = (z ^ (z >> 27)) * 0x94D049BB133111EB
//     z =  z ^ (z >> 31)
// A draw 1..98 takes outputs until one is at least 2^64 mod 98 (fewer values
// than that are refused, so the rest are a whole number of runs of 98) and
// gives 1 + output mod 98. Every draw is thus exactly uniform, and the chance
// table turns the draws into letters with exactly its chances.
namespace rules {

class DealDice
{
public:
    explicit DealDice(Seed seed) : m_state(seed) {}

    // The generator's next output.
    std::uint64_t next();
    // A draw 1..ChanceCount.
    int draw();

private:
    std::uint64_t m_state;
};

// The board of a seed: one draw per cell in dealing order (column by column,
// top to bottom), as deal() takes them.
Letters dealFromSeed(Seed seed);

} // namespace rules
