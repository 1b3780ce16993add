#pragma once

#include "cell.h"
#include "geometry.h"

#include <span>

// Checks of a word laid on the board, for words that arrive from outside
// (the tool, a posted game) rather than from the game's own picking.
namespace rules {

// 1..MaxWord cells, each on the board and touching the one before, none twice.
bool isPath(std::span<const Cell> cells);

// Whether the word (tile codes) lies along the cells on these letters: one
// cell per letter, the cells a path, each holding its letter.
bool spellsAlong(const Letters &letters, std::span<const int> word, std::span<const Cell> cells);

} // namespace rules
