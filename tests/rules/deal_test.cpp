#include "deal.h"
#include "lettercodes.h"
#include "readingorder.h"
#include "rulestext.h"
#include "sampleboard.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// The chance table written out as letters and their chances in 98.
std::string lettersOfEveryDraw()
{
    const std::pair<char, int> chances[] = {
        {'A', 9}, {'E', 12}, {'I', 9}, {'O', 8}, {'U', 3}, {'D', 5}, {'G', 3}, {'H', 2}, {'L', 4},
        {'M', 2}, {'N', 6},  {'P', 2}, {'R', 6}, {'S', 4}, {'T', 6}, {'Y', 2}, {'B', 2}, {'C', 2},
        {'F', 2}, {'J', 1},  {'K', 1}, {'W', 2}, {'Q', 1}, {'V', 2}, {'X', 1}, {'Z', 1},
    };
    std::string letters;
    for (const auto &[letter, chance] : chances)
        letters.append(std::size_t(chance), letter);
    return letters;
}

} // namespace

// Draw n (1..98) gives the n-th letter of the table written out, so each
// letter's run starts and ends where its chance says.
TEST(Deal, drawsGiveTheLettersOfTheChanceTable)
{
    const std::string expected = lettersOfEveryDraw();
    ASSERT_EQ(expected.size(), std::size_t(rules::ChanceCount));
    for (int draw = 1; draw <= rules::ChanceCount; ++draw)
        EXPECT_EQ(rules::letterForChance(draw), rules::letterCode(expected[std::size_t(draw - 1)])) << draw;
    EXPECT_EQ(rules::letterForChance(9), rules::letterCode('A'));
    EXPECT_EQ(rules::letterForChance(10), rules::letterCode('E'));
    EXPECT_EQ(rules::letterForChance(97), rules::letterCode('X'));
    EXPECT_EQ(rules::letterForChance(98), rules::letterCode('Z'));
}

// A draw outside 1..98 cannot come from the game's dice; if one did, it gives A.
TEST(Deal, drawsOutsideTheTableGiveA)
{
    for (int draw : {0, -1, 99, 1000})
        EXPECT_EQ(rules::letterForChance(draw), rules::letterCode('A')) << draw;
}

// Each letter's first draw gives that letter and the draw before it does not.
TEST(Deal, firstChanceIsTheSmallestDrawOfTheLetter)
{
    for (int code = rules::FirstLetter; code <= rules::LastLetter; ++code) {
        const int first = rules::firstChance(code);
        EXPECT_EQ(rules::letterForChance(first), code) << rules::letterChar(code);
        if (first > 1) {
            EXPECT_NE(rules::letterForChance(first - 1), code) << rules::letterChar(code);
        }
    }
    EXPECT_EQ(rules::firstChance(rules::letterCode('A')), 1);
    EXPECT_EQ(rules::firstChance(rules::letterCode('Z')), 98);
    EXPECT_EQ(rules::firstChance(0), 1);
}

// The deal takes one draw per cell in index order: column by column, top to bottom.
TEST(Deal, drawsFillTheCellsColumnByColumn)
{
    int next = 0;
    const rules::Letters letters = rules::deal([&next] { return ++next; });
    EXPECT_EQ(next, rules::CellCount);
    for (int index = 0; index < rules::CellCount; ++index)
        EXPECT_EQ(letters[std::size_t(index)], rules::letterForChance(index + 1)) << index;
    EXPECT_EQ(letters[std::size_t(rules::cellIndex(1, 0))], rules::letterForChance(9));
}

// Dealing from a board's draws lays out that board again.
TEST(Deal, reproducesABoardFromItsDraws)
{
    const rules::Letters board = boardOf(SampleBoardText);
    const rules::Letters draws = rules::drawsFor(board);
    std::size_t next = 0;
    EXPECT_EQ(rules::deal([&] { return draws[next++]; }), board);
    EXPECT_EQ(next, draws.size());
}

// Character r * 8 + c of a board text is the cell at column c, row r; either
// case is read, and anything but 64 letters is refused.
TEST(BoardText, readsReadingOrderIntoColumnMajorCells)
{
    const std::string text = "abcdefgh"
                             "ijklmnop"
                             "qrstuvwx"
                             "yzabcdef"
                             "ghijklmn"
                             "opqrstuv"
                             "wxyzabcd"
                             "efghijkl";
    const rules::Letters letters = boardOf(text);
    EXPECT_EQ(letters[std::size_t(rules::cellIndex(1, 0))], rules::letterCode('b'));
    EXPECT_EQ(letters[std::size_t(rules::cellIndex(0, 1))], rules::letterCode('i'));
    EXPECT_EQ(letters[std::size_t(rules::cellIndex(7, 7))], rules::letterCode('l'));

    std::string upper = text;
    for (char &c : upper)
        c = char(c - 'a' + 'A');
    EXPECT_EQ(rules::parseBoard(upper), letters);

    EXPECT_FALSE(rules::parseBoard(text.substr(1)));
    EXPECT_FALSE(rules::parseBoard(text + "a"));
    EXPECT_FALSE(rules::parseBoard(std::string(63, 'a') + "1"));
    EXPECT_FALSE(rules::parseBoard(std::string(63, 'a') + '\0'));
    EXPECT_FALSE(rules::parseBoard(""));
}

// Writing a board gives its text back in lower case; a cell without a letter shows '?'.
TEST(BoardText, writesTheLettersBackInReadingOrder)
{
    const std::string text = SampleBoardText;
    rules::Letters letters = boardOf(text);
    EXPECT_EQ(rules::formatBoard(letters), text);
    letters[std::size_t(rules::cellIndex(2, 0))] = 0;
    EXPECT_EQ(rules::formatBoard(letters).substr(0, 4), "ca?s");
}
