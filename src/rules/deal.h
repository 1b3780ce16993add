#pragma once

#include "geometry.h"

#include <functional>

// Dealing a board: each cell takes the letter its draw 1..98 gives in the
// chance table, so a letter's share of the 98 draws is its chance.
namespace rules {

constexpr int ChanceCount = 98;

// The letter code of a draw 1..98; anything else gives A.
int letterForChance(int draw);
// The smallest draw that gives a letter code; 1 for a code no draw gives.
int firstChance(int code);

// A board dealt from draw(), called once per cell in index order (column by
// column, top to bottom), as the game has always drawn.
Letters deal(const std::function<int()> &draw);
// The draws, in dealing order, that deal exactly these letters.
Letters drawsFor(const Letters &letters);

} // namespace rules
