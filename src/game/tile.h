#pragma once

#include <QString>

// Tile codes double as indices into the tile pictures: 1..26 are the letters
// A..Z, the rest are overlays and empty squares.
namespace Tile {

constexpr int White = 0;
constexpr int FirstLetter = 1;  // A
constexpr int LastLetter = 26;  // Z
constexpr int NewestFrame = 27; // red frame over the letter added last
constexpr int EarlierFrame = 28; // black frame over the other letters of the word
constexpr int EmptyCell = 29;
constexpr int EmptySlot = 30;
constexpr int Count = 31;

constexpr int NoMark = -1;

constexpr bool isLetter(int code)
{
    return code >= FirstLetter && code <= LastLetter;
}

// "a" for 1 up to "z" for 26; empty for anything that is not a letter.
QString letterOf(int code);

// Maps a draw 1..98 to a letter code by the chance table; anything else gives A.
int letterForChance(int n);
// The smallest draw that gives a letter code.
int firstChance(int code);

} // namespace Tile
