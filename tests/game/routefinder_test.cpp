#include "board.h"
#include "boardtext.h"
#include "literalroute.h"
#include "routefinder.h"
#include "tile.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using Letters = std::array<int, 64>;

Letters deal(QRandomGenerator &random)
{
    Letters letters{};
    for (int &code : letters)
        code = Tile::letterForChance(int(random.bounded(1, 99)));
    return letters;
}

// A word read along a random walk of distinct touching cells, so that it
// usually can be laid out.
std::vector<int> walkWord(const Letters &letters, QRandomGenerator &random, int length)
{
    std::vector<int> word;
    std::vector<int> used;
    int cell = int(random.bounded(64));
    for (int i = 0; i < length; ++i) {
        word.push_back(letters[cell]);
        used.push_back(cell);
        std::vector<int> next;
        for (int dc = -1; dc <= 1; ++dc) {
            for (int dr = -1; dr <= 1; ++dr) {
                const int c = cell / 8 + dc;
                const int r = cell % 8 + dr;
                if ((dc || dr) && c >= 0 && c < 8 && r >= 0 && r < 8
                    && std::find(used.begin(), used.end(), c * 8 + r) == used.end())
                    next.push_back(c * 8 + r);
            }
        }
        if (next.empty())
            break;
        cell = next[random.bounded(int(next.size()))];
    }
    return word;
}

std::string describe(const Letters &letters, const std::vector<int> &word)
{
    std::string text = "board ";
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            text += char('a' + letters[column * 8 + row] - 1);
    text += " word ";
    for (int code : word)
        text += char('a' + code - 1);
    return text;
}

Letters board(const char *text)
{
    return *BoardText::parse(QString::fromLatin1(text));
}

std::vector<int> codes(const char *word)
{
    std::vector<int> result;
    for (const char *c = word; *c; ++c)
        result.push_back(*c - 'a' + 1);
    return result;
}

} // namespace

// The fast search returns exactly the chain of the step-by-step search on
// thousands of dealt boards, for words that fit, words that almost fit and
// random words.
TEST(RouteFinder, agreesWithTheStepByStepSearch)
{
    QRandomGenerator random(4242);
    int compared = 0;
    int found = 0;
    int gaveUp = 0;
    for (int boardNumber = 0; boardNumber < 4000; ++boardNumber) {
        const Letters letters = deal(random);
        for (int w = 0; w < 6; ++w) {
            std::vector<int> word;
            const int length = 2 + int(random.bounded(11));
            if (w < 4) {
                word = walkWord(letters, random, length);
                if (word.size() < 2)
                    continue;
                if (w == 1) // the last letter changed: often no chain
                    word.back() = Tile::letterForChance(int(random.bounded(1, 99)));
                if (w == 2) // an inner letter changed
                    word[random.bounded(int(word.size()))] = Tile::letterForChance(int(random.bounded(1, 99)));
            } else {
                for (int i = 0; i < length; ++i)
                    word.push_back(Tile::letterForChance(int(random.bounded(1, 99))));
            }
            bool tooLong = false;
            const std::vector<Cell> expected = literalRoute(letters, word, 20'000'000, &tooLong);
            if (tooLong) {
                ++gaveUp;
                continue;
            }
            const std::vector<Cell> actual = RouteFinder(letters, word).find();
            ASSERT_EQ(actual, expected) << describe(letters, word);
            ++compared;
            found += !actual.empty();
        }
    }
    EXPECT_GT(compared, 20000);
    EXPECT_GT(found, compared / 4) << "enough chains found to compare paths, not just failures";
    EXPECT_LT(gaveUp, 10);
}

// Hand-made boards where the search must backtrack deep before it succeeds
// or proves there is no chain.
TEST(RouteFinder, agreesOnCrowdedBoards)
{
    const char *boards[] = {
        "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeex",
        "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeaaaaaaax",
        "eaeaeaeaaeaeaeaeeaeaeaeaaeaeaeaeeaeaeaeaaeaeaeaeeaeaeaeaaeaeaeax",
        "xeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee",
        "eeeexeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee",
    };
    const char *words[] = {"eeeeeeeeeeex", "eeeeeeeex", "eaeaeaeaeaex", "xeeeeeeeeeee", "eeeeexeeeeee",
                           "aeaeaeaeaeae", "eeeeeeeeeeee", "ex"};
    for (const char *text : boards) {
        const Letters letters = board(text);
        for (const char *w : words) {
            bool tooLong = false;
            const std::vector<Cell> expected = literalRoute(letters, codes(w), 50'000'000, &tooLong);
            if (tooLong)
                continue;
            EXPECT_EQ(RouteFinder(letters, codes(w)).find(), expected) << describe(letters, codes(w));
        }
    }
}

// The chain starts at the first fitting cell in column order and takes the
// lowest direction at each step.
TEST(RouteFinder, firstChainInSearchOrder)
{
    // Two C-A-T chains: the one starting in column 0 wins over the one in
    // row 0 further right, and from the A the T up-left (direction 1) wins
    // over the T down-right (direction 8).
    const Letters letters = board(
        "xxxxcatx"
        "txxxxxxx"
        "xaxxxxxx"
        "cxtxxxxx"
        "xxxxxxxx"
        "xxxxxxxx"
        "xxxxxxxx"
        "xxxxxxxx");
    EXPECT_EQ(RouteFinder(letters, codes("cat")).find(), (std::vector<Cell>{{0, 3}, {1, 2}, {0, 1}}));
    EXPECT_EQ(RouteFinder(letters, codes("catc")).find(), std::vector<Cell>{});
}
