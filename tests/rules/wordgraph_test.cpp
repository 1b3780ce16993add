#include "builtinwords.h"
#include "points.h"
#include "wordgraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> listedWords(std::size_t shortest, std::size_t longest)
{
    std::ifstream in(TARVLE_WORDS_TXT);
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() >= shortest && line.size() <= longest
            && std::all_of(line.begin(), line.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back(line);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

} // namespace

// Words are numbered in alphabetical order whatever the order given, and a
// number gives its word back in upper case.
TEST(WordGraph, numbersWordsAlphabetically)
{
    const rules::BuiltWordGraph built = rules::buildWordGraph({"rats", "cat", "cats", "bat", "at", "rat", "cat"});
    const rules::WordGraph graph = built.view();
    const std::vector<std::string> sorted{"at", "bat", "cat", "cats", "rat", "rats"};
    ASSERT_EQ(graph.wordCount(), sorted.size());
    for (std::uint32_t i = 0; i < sorted.size(); ++i) {
        EXPECT_EQ(graph.find(sorted[i]), i) << sorted[i];
        std::string upper = sorted[i];
        std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return char(c - 'a' + 'A'); });
        EXPECT_EQ(graph.word(i), upper);
    }
    EXPECT_EQ(graph.find("CaTs"), 3u);
    EXPECT_THROW((void)graph.word(6), std::out_of_range);
}

// Prefixes, extensions and other letters are not words of the graph.
TEST(WordGraph, findsOnlyItsWords)
{
    const rules::BuiltWordGraph built = rules::buildWordGraph({"cat", "cats", "dog"});
    const rules::WordGraph graph = built.view();
    for (const char *other : {"", "c", "ca", "catss", "do", "dogs", "ta", "c4t", "cat ", "tac"})
        EXPECT_FALSE(graph.find(other)) << other;
}

// Words that share their endings share their states: bat, cat and rat with
// their plurals need a start, one state after the first letter, one after
// the a, one after the t and one after the s.
TEST(WordGraph, isMinimal)
{
    const rules::BuiltWordGraph built = rules::buildWordGraph({"bat", "bats", "cat", "cats", "rat", "rats"});
    EXPECT_EQ(built.states, 5u);
    // The start, then one node for each edge: b, c and r, then a, t and s.
    EXPECT_EQ(built.nodes.size(), 1u + 3 + 1 + 1 + 1);
}

// Only words of letters a..z in lower case go in; an empty list makes an
// empty graph.
TEST(WordGraph, refusesOtherWords)
{
    for (const char *bad : {"", "Cat", "c-t", "caf\xE9"})
        EXPECT_THROW(rules::buildWordGraph({"dog", bad}), std::invalid_argument) << bad;
    const rules::BuiltWordGraph empty = rules::buildWordGraph({});
    EXPECT_EQ(empty.view().wordCount(), 0u);
    EXPECT_FALSE(empty.view().find("a"));
}

// The built-in graph holds exactly the listed words of 3 to 12 letters,
// each under its place in the sorted list.
TEST(BuiltInWords, holdsTheListedWordsOfThreeToTwelveLetters)
{
    const rules::WordGraph &graph = rules::builtInWords();
    const std::vector<std::string> words = listedWords(rules::MinWord, rules::MaxWord);
    ASSERT_GT(words.size(), 200000u);
    ASSERT_EQ(graph.wordCount(), words.size());
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        const auto index = graph.find(words[i]);
        ASSERT_TRUE(index) << words[i];
        ASSERT_EQ(*index, i) << words[i];
    }
    for (std::uint32_t i = 0; i < words.size(); i += 997) {
        std::string upper = words[i];
        std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return char(c - 'a' + 'A'); });
        EXPECT_EQ(graph.word(i), upper);
    }
    for (const std::string &word : listedWords(1, 2))
        EXPECT_FALSE(graph.find(word)) << word;
    for (const std::string &word : listedWords(13, 40))
        EXPECT_FALSE(graph.find(word)) << word;
}

// Ranks follow the frequency list: its first words are the most common, a
// word it lacks has none.
TEST(BuiltInWords, ranksByFrequency)
{
    const rules::WordGraph &graph = rules::builtInWords();
    EXPECT_EQ(graph.rank(*graph.find("you")), 1u);
    EXPECT_EQ(graph.rank(*graph.find("the")), 2u);
    EXPECT_LT(graph.rank(*graph.find("house")), graph.rank(*graph.find("zymurgy")));
    EXPECT_GT(graph.rank(*graph.find("zymurgy")), 0u);
    EXPECT_EQ(graph.rank(*graph.find("zymase")), 0u);
    EXPECT_EQ(graph.rank(*graph.find("zyzzyva")), 0u);
    EXPECT_EQ(graph.rank(graph.wordCount()), 0u);
}
