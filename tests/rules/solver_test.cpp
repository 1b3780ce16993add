#include "builtinwords.h"
#include "dealdice.h"
#include "lettercodes.h"
#include "rulestext.h"
#include "sampleboard.h"
#include "solver.h"
#include "wordpath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using rules::Cell;

std::vector<std::string> listedWords()
{
    std::ifstream in(TARVLE_WORDS_TXT);
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() >= std::size_t(rules::MinWord) && line.size() <= std::size_t(rules::MaxWord)
            && std::all_of(line.begin(), line.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back(line);
    }
    return words;
}

// The plain search, one word at a time: from every cell with the first
// letter, every unused touching cell with the next.
bool spellsFrom(const rules::Letters &letters, const std::string &word, std::size_t at, int cell,
                std::uint64_t used)
{
    if (letters[std::size_t(cell)] != rules::letterCode(word[at]))
        return false;
    if (at + 1 == word.size())
        return true;
    used |= std::uint64_t(1) << cell;
    for (int next = 0; next < rules::CellCount; ++next) {
        if (!(used & (std::uint64_t(1) << next))
            && rules::touching(rules::columnOf(cell), rules::rowOf(cell), rules::columnOf(next), rules::rowOf(next))
            && spellsFrom(letters, word, at + 1, next, used))
            return true;
    }
    return false;
}

bool spellable(const rules::Letters &letters, const std::string &word)
{
    for (int cell = 0; cell < rules::CellCount; ++cell) {
        if (spellsFrom(letters, word, 0, cell, 0))
            return true;
    }
    return false;
}

std::string upper(std::string word)
{
    std::transform(word.begin(), word.end(), word.begin(), [](char c) { return char(c - 'a' + 'A'); });
    return word;
}

// Every word the solver gives is spelled along its path with its points;
// the list is in order without repeats and adds up to the total.
void expectSound(const rules::Letters &letters, const rules::Solution &solution, const rules::WordGraph &graph)
{
    int points = 0;
    for (std::size_t i = 0; i < solution.words.size(); ++i) {
        const rules::SolvedWord &found = solution.words[i];
        std::vector<int> codes;
        for (char c : found.word)
            codes.push_back(rules::letterCode(c));
        EXPECT_TRUE(rules::spellsAlong(letters, codes, found.path())) << found.word;
        EXPECT_EQ(found.points, rules::pointsFor(int(found.word.size()))) << found.word;
        EXPECT_EQ(found.length, int(found.word.size()));
        EXPECT_EQ(graph.find(found.word), found.index) << found.word;
        if (i > 0) {
            EXPECT_LT(solution.words[i - 1].index, found.index) << found.word;
        }
        points += found.points;
    }
    EXPECT_EQ(solution.points, points);
}

// Checks the solver against every listed word tried on the board directly.
void expectEveryListedWord(const rules::Letters &letters, const std::vector<std::string> &words)
{
    rules::Solver solver(rules::builtInWords());
    const rules::Solution solution = solver.solve(letters);
    expectSound(letters, solution, rules::builtInWords());

    std::set<std::string> solved;
    for (const rules::SolvedWord &found : solution.words)
        solved.insert(found.word);
    std::set<std::string> direct;
    for (const std::string &word : words) {
        if (spellable(letters, word))
            direct.insert(upper(word));
    }
    EXPECT_EQ(solved, direct) << rules::formatBoard(letters);
    EXPECT_GT(direct.size(), 0u);
}

// The letters a..m along a snake: down the first column, then up the second.
const char *const snakeBoard = "apxxxxxx"
                               "boxxxxxx"
                               "cnxxxxxx"
                               "dmxxxxxx"
                               "elxxxxxx"
                               "fkxxxxxx"
                               "gjxxxxxx"
                               "hixxxxxx";

} // namespace

// On a board made by hand, with a few words: those that lie on touching
// cells are found with their paths, a word needing a cell twice or two
// letters that do not touch is not, nor a word under three letters.
TEST(Solver, findsTheWordsOfAHandMadeBoard)
{
    const rules::BuiltWordGraph built = rules::buildWordGraph({"at", "cat", "act", "tact", "tat", "cab", "taco", "coat"});
    const rules::WordGraph graph = built.view();
    const rules::Letters letters = boardOf("caxxxxxx"
                                           "txxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxx"
                                           "xxxxxxxo");
    rules::Solver solver(graph);
    const rules::Solution solution = solver.solve(letters);
    ASSERT_EQ(solution.words.size(), 2u);
    EXPECT_EQ(solution.words[0].word, "ACT");
    EXPECT_EQ(solution.words[1].word, "CAT");
    EXPECT_EQ(solution.points, 2);
    const std::vector<Cell> act(solution.words[0].path().begin(), solution.words[0].path().end());
    EXPECT_EQ(act, (std::vector<Cell>{{1, 0}, {0, 0}, {0, 1}}));
    const std::vector<Cell> cat(solution.words[1].path().begin(), solution.words[1].path().end());
    EXPECT_EQ(cat, (std::vector<Cell>{{0, 0}, {1, 0}, {0, 1}}));
    expectSound(letters, solution, graph);
}

// A word of twelve letters is found along its one path; thirteen letters
// are past the longest word a game can send.
TEST(Solver, findsTwelveLettersButNotThirteen)
{
    const rules::BuiltWordGraph built = rules::buildWordGraph({"abcdefghijkl", "abcdefghijklm", "mlk"});
    const rules::WordGraph graph = built.view();
    rules::Solver solver(graph);
    const rules::Solution solution = solver.solve(boardOf(snakeBoard));
    ASSERT_EQ(solution.words.size(), 2u);
    EXPECT_EQ(solution.words[0].word, "ABCDEFGHIJKL");
    EXPECT_EQ(solution.words[0].points, 30);
    EXPECT_EQ(solution.words[0].path().back(), (Cell{1, 4}));
    EXPECT_EQ(solution.words[1].word, "MLK");
    EXPECT_EQ(solution.points, 31);
}

// Of several paths the first in the walk's order is kept: start cells by
// index, then neighbours in the keyboard's direction order.
TEST(Solver, keepsTheFirstPathOfTheWalk)
{
    const rules::BuiltWordGraph built = rules::buildWordGraph({"eel"});
    const rules::WordGraph graph = built.view();
    rules::Solver solver(graph);
    const rules::Solution solution = solver.solve(boardOf("xxxxxxxx"
                                                          "xeexxxxx"
                                                          "xelxxxxx"
                                                          "xxxxxxxx"
                                                          "xxxxxxxx"
                                                          "xxxxxxxx"
                                                          "xxxxxxxx"
                                                          "xxxxxxxx"));
    ASSERT_EQ(solution.words.size(), 1u);
    const std::vector<Cell> path(solution.words[0].path().begin(), solution.words[0].path().end());
    // (1,1) is the first e by index; its first e neighbour is (1,2), down.
    EXPECT_EQ(path, (std::vector<Cell>{{1, 1}, {1, 2}, {2, 2}}));
}

// Cells that hold no letter (before a deal, drawing codes, any other
// number) are in no word, and such a board is no trouble.
TEST(Solver, oddCellsAreInNoWord)
{
    rules::Solver solver(rules::builtInWords());
    rules::Letters empty{};
    EXPECT_TRUE(solver.solve(empty).words.empty());
    rules::Letters odd{};
    for (std::size_t i = 0; i < odd.size(); ++i)
        odd[i] = std::vector<int>{29, 27, 28, -1, 0, 27 + 26, 1000, -2147483647}[i % 8];
    EXPECT_TRUE(solver.solve(odd).words.empty());

    // C A T in a row with holes around: only CAT, since C and T do not touch.
    rules::Letters holes{};
    holes.fill(29);
    holes[rules::cellIndex(3, 3)] = rules::letterCode('c');
    holes[rules::cellIndex(4, 3)] = rules::letterCode('a');
    holes[rules::cellIndex(5, 3)] = rules::letterCode('t');
    const rules::Solution cat = solver.solve(holes);
    std::set<std::string> words;
    for (const rules::SolvedWord &found : cat.words)
        words.insert(found.word);
    EXPECT_EQ(words, (std::set<std::string>{"CAT"}));
}

// One solver solves board after board with nothing left over from the last.
TEST(Solver, solvesBoardAfterBoardAlike)
{
    rules::Solver solver(rules::builtInWords());
    const rules::Letters sample = boardOf(SampleBoardText);
    const rules::Solution first = solver.solve(sample);
    (void)solver.solve(rules::dealFromSeed(99));
    const rules::Solution again = solver.solve(sample);
    ASSERT_EQ(first.words.size(), again.words.size());
    for (std::size_t i = 0; i < first.words.size(); ++i) {
        EXPECT_EQ(first.words[i].word, again.words[i].word);
        EXPECT_EQ(first.words[i].cells, again.words[i].cells);
    }
    EXPECT_EQ(first.points, again.points);
    EXPECT_EQ(rules::Solver(rules::builtInWords()).solve(sample).points, first.points);
}

// The built-in words found on a board are exactly the listed words that a
// direct search spells there: on the sample board, on a board of common
// letters made by hand and on dealt boards. Every word of the list is tried.
TEST(Solver, agreesWithEveryListedWordTriedDirectly)
{
    const std::vector<std::string> words = listedWords();
    ASSERT_GT(words.size(), 200000u);
    expectEveryListedWord(boardOf(SampleBoardText), words);
    expectEveryListedWord(boardOf("seratinl"
                                  "otesared"
                                  "ilagemot"
                                  "tresnapi"
                                  "onedlase"
                                  "miatsorg"
                                  "nespilet"
                                  "radostue"),
                          words);
    for (rules::Seed seed : {rules::Seed(1), rules::Seed(20240101), rules::SeedMask})
        expectEveryListedWord(rules::dealFromSeed(seed), words);
}
