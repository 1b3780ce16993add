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
// Stored as one flat array so that a build step can write it out as C++ and
// the program needs to make nothing when it starts. Each edge carries what
// a walk needs of the state it leads to, so a step reads one record.
namespace rules {

// nodes[0] is the start; every other node is an edge. Of the state it leads
// to: letters holds bit (code - 1) for each letter (code 1 = a) that has an
// edge, and WordEnds when a word ends there; its edges are
// nodes[firstEdge..], one per letter in alphabetical order; words counts the
// words through it, whose numbers, from any one way to it, follow one
// another. Of the edge itself: wordsBefore counts the words of the state it
// leaves that are numbered before those through it (the word ending at that
// state, then those through the earlier edges).
struct GraphNode {
    std::uint32_t letters;
    std::uint32_t firstEdge;
    std::uint32_t words;
    std::uint32_t wordsBefore;
};
constexpr std::uint32_t WordEnds = 1u << 31;
constexpr std::uint32_t AllLetters = (1u << 26) - 1;

// A view of a graph. The array outlives the view. ranks, when not empty,
// holds for each word number its place in a list of words by frequency (1
// the most common) or 0 for a word not in that list.
class WordGraph
{
public:
    constexpr WordGraph(std::span<const GraphNode> nodes, std::span<const std::uint32_t> ranks = {})
        : m_nodes(nodes), m_ranks(ranks)
    {
    }

    std::span<const GraphNode> nodes() const { return m_nodes; }
    std::uint32_t wordCount() const { return m_nodes.empty() ? 0 : m_nodes[0].words; }

    // The number of a word (letters a..z in either case); nothing when the
    // graph does not hold it.
    std::optional<std::uint32_t> find(std::string_view word) const;
    // The word of a number, in upper case; throws std::out_of_range for a
    // number of no word.
    std::string word(std::uint32_t index) const;
    // The frequency place of a word number; 0 when unknown.
    std::uint32_t rank(std::uint32_t index) const { return index < m_ranks.size() ? m_ranks[index] : 0; }

private:
    std::span<const GraphNode> m_nodes;
    std::span<const std::uint32_t> m_ranks;
};

// A graph made from a list, holding its own arrays: what the build step
// writes out, and what tests make of a few words.
struct BuiltWordGraph {
    std::vector<GraphNode> nodes;
    std::vector<std::uint32_t> ranks;
    // The states of the minimal automaton, the start among them.
    std::size_t states = 0;

    // A view of a graph that is about to go would dangle.
    WordGraph view() const & { return WordGraph(nodes, ranks); }
    WordGraph view() const && = delete;
};

// The minimal graph of the words, each of 1 or more letters a..z in lower
// case (throws std::invalid_argument for any other); order and repeats in
// the list do not matter. No ranks.
BuiltWordGraph buildWordGraph(std::vector<std::string> words);

} // namespace rules
