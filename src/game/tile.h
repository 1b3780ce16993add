#pragma once

#include "deal.h"
#include "lettercodes.h"

#include <QString>

// Tile codes double as indices into the tile pictures: 1..26 are the letters
// A..Z, the rest are overlays and empty squares.
namespace Tile {

constexpr int White = 0;
constexpr int FirstLetter = rules::FirstLetter; // A
constexpr int LastLetter = rules::LastLetter;   // Z
constexpr int NewestFrame = 27; // red frame over the letter added last
constexpr int EarlierFrame = 28; // black frame over the other letters of the word
constexpr int EmptyCell = 29;
constexpr int EmptySlot = 30;
constexpr int Count = 31;

constexpr int NoMark = -1;

using rules::isLetter;

// "a" for 1 up to "z" for 26; empty for anything that is not a letter.
QString letterOf(int code);

// The deal's chance table: a draw 1..98 to a letter code, a letter code to
// its smallest draw.
using rules::firstChance;
using rules::letterForChance;

} // namespace Tile
