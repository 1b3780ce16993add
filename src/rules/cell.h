#pragma once

namespace rules {

// Column and row of a word slot that holds no cell: off the board both ways.
constexpr int SlotEmpty = 30;

// A board cell by column and row, or a word slot's reference to one. The
// default is the empty slot.
struct Cell {
    int column = SlotEmpty;
    int row = SlotEmpty;
    friend bool operator==(const Cell &, const Cell &) = default;
};

} // namespace rules
