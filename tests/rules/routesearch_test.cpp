#include "routesearch.h"
#include "rulestext.h"
#include "wordpath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rules::Cell;

// A board with the thirteen letters a..m along a snake from (0, 0): down the
// first column, then up the second.
const char *const snakeBoard = "apxxxxxx"
                               "boxxxxxx"
                               "cnxxxxxx"
                               "dmxxxxxx"
                               "elxxxxxx"
                               "fkxxxxxx"
                               "gjxxxxxx"
                               "hixxxxxx";

std::vector<Cell> route(const rules::Letters &letters, const std::string &word)
{
    return rules::RouteSearch(letters, codesOf(word)).find();
}

} // namespace

// The chain found spells the word along touching cells, first in search order.
TEST(RouteSearch, findsTheFirstChainInSearchOrder)
{
    const rules::Letters letters = boardOf(snakeBoard);
    const std::vector<Cell> chain = route(letters, "abcdefghijkl");
    ASSERT_EQ(chain.size(), 12u);
    EXPECT_TRUE(rules::spellsAlong(letters, codesOf("abcdefghijkl"), chain));
    EXPECT_EQ(chain.front(), (Cell{0, 0}));
    EXPECT_EQ(chain.back(), (Cell{1, 4}));
}

// A word of thirteen distinct letters is longer than a word can be: refused
// with no chain, even though it lies on the board, and nothing overflows.
TEST(RouteSearch, refusesThirteenLetters)
{
    const rules::Letters letters = boardOf(snakeBoard);
    EXPECT_TRUE(route(letters, "abcdefghijklm").empty());
    EXPECT_TRUE(route(letters, "abcdefghijklmnop").empty());
    EXPECT_TRUE(route(boardOf(std::string(64, 'e')), "eeeeeeeeeeeee").empty());
}

// An empty word has no chain.
TEST(RouteSearch, refusesAnEmptyWord)
{
    EXPECT_TRUE(route(boardOf(snakeBoard), "").empty());
}

// Twelve times the same letter on a board of that letter: down the first
// column, then the lowest direction at each step.
TEST(RouteSearch, laysTwelveRepeatedLetters)
{
    const rules::Letters letters = boardOf(std::string(64, 'e'));
    const std::vector<Cell> expected{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5},
                                     {0, 6}, {0, 7}, {1, 6}, {1, 5}, {1, 4}, {1, 3}};
    EXPECT_EQ(route(letters, "eeeeeeeeeeee"), expected);
}

// Twelve repeated letters need twelve cells of it: with eleven there is no chain.
TEST(RouteSearch, repeatedLettersNeedACellEach)
{
    const rules::Letters letters = boardOf("eeeeeeee"
                                           "eeexxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx");
    EXPECT_TRUE(route(letters, "eeeeeeeeeeee").empty());
    EXPECT_EQ(route(letters, "eeeeeeeeeee").size(), 11u);
}
