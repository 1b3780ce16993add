#pragma once

#include <array>

// The board's shape, shared by the game, the tool and the service host.
namespace rules {

constexpr int BoardSize = 8;
constexpr int CellCount = BoardSize * BoardSize;
// A trap: cells are indexed column * 8 + row, not row * 8 + column. A column
// is a run of eight, in the order the board is dealt and searched.
constexpr int cellIndex(int column, int row)
{
    return column * BoardSize + row;
}
constexpr int columnOf(int index)
{
    return index / BoardSize;
}
constexpr int rowOf(int index)
{
    return index % BoardSize;
}

// Tile codes of a whole board, indexed column * 8 + row.
using Letters = std::array<int, CellCount>;

constexpr bool onBoard(int column, int row)
{
    return column >= 0 && column < BoardSize && row >= 0 && row < BoardSize;
}

// Two different cells that share a side or a corner; a cell does not touch itself.
constexpr bool touching(int column, int row, int otherColumn, int otherRow)
{
    const int columns = column - otherColumn;
    const int rows = row - otherRow;
    return (columns != 0 || rows != 0) && columns >= -1 && columns <= 1 && rows >= -1 && rows <= 1;
}

struct Step {
    int column;
    int row;
};

// The order in which the keyboard tries the neighbours of a cell: up-left,
// left, down-left, up, down, up-right, right, down-right. With the column-major
// index this is also ascending index order, which the route search relies on.
constexpr std::array<Step, 8> NeighbourSteps{{
    {-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1},
}};

} // namespace rules
