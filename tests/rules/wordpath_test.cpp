#include "rulestext.h"
#include "sampleboard.h"
#include "wordpath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rules::Cell;

const rules::Letters &board()
{
    static const rules::Letters letters = boardOf(SampleBoardText);
    return letters;
}

bool spells(const char *word, const std::vector<Cell> &cells)
{
    return rules::spellsAlong(board(), codesOf(word), cells);
}

} // namespace

// A word lies along touching cells that hold its letters, in any direction.
TEST(WordPath, acceptsTouchingCellsHoldingTheLetters)
{
    EXPECT_TRUE(spells("cat", {{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_TRUE(spells("tab", {{2, 0}, {1, 0}, {1, 1}}));
    EXPECT_TRUE(spells("c", {{0, 0}}));
}

// Cells that do not touch, even one apart, are refused.
TEST(WordPath, refusesCellsThatDoNotTouch)
{
    EXPECT_FALSE(spells("ct", {{0, 0}, {2, 0}}));
    EXPECT_FALSE(spells("ca", {{0, 0}, {0, 2}}));
    EXPECT_FALSE(rules::isPath(std::vector<Cell>{{0, 0}, {1, 1}, {3, 3}}));
}

// A cell may hold one letter of the word only.
TEST(WordPath, refusesACellUsedTwice)
{
    EXPECT_FALSE(spells("cac", {{0, 0}, {1, 0}, {0, 0}}));
    EXPECT_FALSE(spells("cc", {{0, 0}, {0, 0}}));
}

// Every cell must hold its own letter of the word.
TEST(WordPath, refusesAWrongLetter)
{
    EXPECT_FALSE(spells("cot", {{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_FALSE(spells("ca", {{0, 0}, {1, 0}, {2, 0}})) << "one cell per letter";
    EXPECT_FALSE(rules::spellsAlong(board(), std::vector<int>{0, 1}, std::vector<Cell>{{0, 1}, {0, 2}}))
        << "a code that is no letter";
}

// A cell off the board is refused, including (0, 8), whose index would be that of (1, 0).
TEST(WordPath, refusesACellOffTheBoard)
{
    EXPECT_FALSE(spells("ea", {{0, 7}, {0, 8}}));
    EXPECT_FALSE(spells("ca", {{0, 0}, {-1, 0}}));
    EXPECT_FALSE(rules::isPath(std::vector<Cell>{{7, 7}, {8, 8}}));
    EXPECT_FALSE(rules::isPath(std::vector<Cell>{Cell{}}));
}

// A path has 1..12 cells: none and thirteen are both refused.
TEST(WordPath, refusesNoLettersAndThirteen)
{
    EXPECT_FALSE(rules::spellsAlong(board(), std::vector<int>{}, std::vector<Cell>{}));
    EXPECT_FALSE(rules::isPath(std::vector<Cell>{}));

    const rules::Letters allA = boardOf(std::string(64, 'a'));
    std::vector<Cell> snake;
    for (int column = 0; column < 2; ++column)
        for (int row = 0; row < 8; ++row)
            snake.push_back(Cell{column, column == 0 ? row : 7 - row});
    snake.resize(13);
    EXPECT_FALSE(rules::spellsAlong(allA, codesOf("aaaaaaaaaaaaa"), snake));
    snake.resize(12);
    EXPECT_TRUE(rules::spellsAlong(allA, codesOf("aaaaaaaaaaaa"), snake));
}
