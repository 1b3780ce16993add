#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A set of words of the letters a..z held as a minimal automaton (a directed
// acyclic word graph): states joined by edges that each carry one letter,
// with the words that share an ending sharing their states. The words are
// numbered 0.. in alphabetical order, and every edge knows how many words
// of its state come before it, so the walk that spells a word also finds its
// number, and a number gives back its word.
//
// Stored as two flat arrays so that a build step can write them out as C++
// and the program needs to make nothing when it starts.
namespace rules {

// A state: bit (code - 1) for each letter (code 1 = a) that has an edge,
// WordEnds when a word ends here; its edges are edges[firstEdge..], one per
// letter in alphabetical order; words: how many words go through it, whose
// numbers, from any one way to it, follow one another.
struct GraphState {
    std::uint32_t letters;
    std::uint32_t firstEdge;
    std::uint32_t words;
};
constexpr std::uint32_t WordEnds = 1u << 31;
constexpr std::uint32_t AllLetters = (1u << 26) - 1;

// target: the state the edge leads to; wordsBefore: the words of the edge's
// state numbered before those through this edge (the word ending at the
// state, then those through the earlier edges).
struct GraphEdge {
    std::uint32_t target;
    std::uint32_t wordsBefore;
};

// A view of a graph whose state 0 is the start. The arrays outlive the view.
// ranks, when not empty, holds for each word number its place in a list of
// words by frequency (1 the most common) or 0 for a word not in that list.
class WordGraph
{
public:
    constexpr WordGraph(std::span<const GraphState> states, std::span<const GraphEdge> edges, std::uint32_t wordCount,
                        std::span<const std::uint32_t> ranks = {})
        : m_states(states), m_edges(edges), m_wordCount(wordCount), m_ranks(ranks)
    {
    }

    std::span<const GraphState> states() const { return m_states; }
    std::span<const GraphEdge> edges() const { return m_edges; }
    std::uint32_t wordCount() const { return m_wordCount; }

    // The number of a word (letters a..z in either case); nothing when the
    // graph does not hold it.
    std::optional<std::uint32_t> find(std::string_view word) const;
    // The word of a number, in upper case; throws std::out_of_range for a
    // number of no word.
    std::string word(std::uint32_t index) const;
    // The frequency place of a word number; 0 when unknown.
    std::uint32_t rank(std::uint32_t index) const { return index < m_ranks.size() ? m_ranks[index] : 0; }

private:
    std::span<const GraphState> m_states;
    std::span<const GraphEdge> m_edges;
    std::uint32_t m_wordCount;
    std::span<const std::uint32_t> m_ranks;
};

// A graph made from a list, holding its own arrays: what the build step
// writes out, and what tests make of a few words.
struct BuiltWordGraph {
    std::vector<GraphState> states;
    std::vector<GraphEdge> edges;
    std::vector<std::uint32_t> ranks;
    std::uint32_t wordCount = 0;

    // A view of a graph that is about to go would dangle.
    WordGraph view() const & { return WordGraph(states, edges, wordCount, ranks); }
    WordGraph view() const && = delete;
};

// The minimal graph of the words, each of 1 or more letters a..z in lower
// case (throws std::invalid_argument for any other); order and repeats in
// the list do not matter. No ranks.
BuiltWordGraph buildWordGraph(std::vector<std::string> words);

} // namespace rules
