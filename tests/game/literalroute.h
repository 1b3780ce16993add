#pragma once

#include "board.h"

#include <array>
#include <cstdint>
#include <vector>

// The path search written out step by step as the keyboard's rules describe
// it: twelve route positions, eight tried-flags per position, stepping
// forward and back. Slow on bad boards; kept as the reference the fast
// search must agree with.
//
// Returns the chain (one cell per letter of word), or an empty chain when
// there is none. Gives up, setting gaveUp, after maxSteps steps.
std::vector<Cell> literalRoute(const std::array<int, 64> &letters, const std::vector<int> &word,
                               std::uint64_t maxSteps, bool *gaveUp);
