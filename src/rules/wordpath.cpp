#include "wordpath.h"

#include "lettercodes.h"
#include "points.h"

#include <bitset>

namespace rules {

bool isPath(std::span<const Cell> cells)
{
    if (cells.empty() || cells.size() > std::size_t(MaxWord))
        return false;
    std::bitset<CellCount> used;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell &cell = cells[i];
        // Checked before the index is formed: (0, 8) would alias (1, 0).
        if (!onBoard(cell.column, cell.row))
            return false;
        const int index = cellIndex(cell.column, cell.row);
        if (used[std::size_t(index)])
            return false;
        used[std::size_t(index)] = true;
        if (i > 0 && !touching(cell.column, cell.row, cells[i - 1].column, cells[i - 1].row))
            return false;
    }
    return true;
}

bool spellsAlong(const Letters &letters, std::span<const int> word, std::span<const Cell> cells)
{
    if (word.size() != cells.size() || !isPath(cells))
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (!isLetter(word[i]) || letters[std::size_t(cellIndex(cells[i].column, cells[i].row))] != word[i])
            return false;
    }
    return true;
}

} // namespace rules
