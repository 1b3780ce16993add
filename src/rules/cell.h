#pragma once

namespace rules {

// A board cell by column and row, or a word slot's reference to one. The
// default is no cell, off the board both ways.
struct Cell {
    int column = -1;
    int row = -1;
    friend bool operator==(const Cell &, const Cell &) = default;
};

// The one value for "no cell": an empty word slot, the newest letter of an
// empty word.
constexpr Cell NoCell{};

} // namespace rules
