#include "gametestsupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The smallest draw that gives each letter A..Z.
constexpr int firstDraw[26] = {
    1,  84, 86, 42, 10, 88, 47, 50, 22, 90, 91, 52, 56,
    58, 31, 64, 94, 66, 72, 76, 39, 95, 92, 97, 82, 98,
};

} // namespace

std::function<int()> drawBoard(const QString &letters)
{
    auto draws = std::make_shared<std::vector<int>>();
    for (int column = 0; column < 8; ++column) {
        for (int row = 0; row < 8; ++row) {
            const QChar letter = letters.at(row * 8 + column).toLower();
            draws->push_back(firstDraw[letter.unicode() - 'a']);
        }
    }
    auto next = std::make_shared<size_t>(0);
    return [draws, next] { return (*draws)[(*next)++ % draws->size()]; };
}

void startOn(Game &game, const QString &letters)
{
    game.setDraw(drawBoard(letters));
    game.startGame();
}

void pick(Game &game, std::initializer_list<Cell> cells)
{
    for (const Cell &cell : cells) {
        ASSERT_TRUE(game.pickable(cell.column, cell.row)) << cell.column << "," << cell.row;
        game.addPickedCell(cell.column, cell.row);
    }
}
