#include "gametestsupport.h"

#include "boardtext.h"

#include <gtest/gtest.h>

#include <stdexcept>

std::function<int()> drawBoard(const QString &letters)
{
    const auto parsed = BoardText::parse(letters);
    if (!parsed)
        throw std::invalid_argument("not a board of 64 letters");
    return BoardText::draws(*parsed);
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

void playWordGame(Game &game, const char *word)
{
    game.setDraw(drawBoard(sampleBoard));
    game.startGame();
    for (const char *c = word; *c; ++c)
        game.typetheletter(*c - 'a' + 1);
    game.pressdone();
    while (game.isPlaying())
        game.tick();
}
