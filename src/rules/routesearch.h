#pragma once

#include "cell.h"
#include "geometry.h"
#include "points.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace rules {

// Finds the first chain of distinct, pairwise touching cells that spells a
// word, in the fixed order the keyboard uses: start cells column by column
// (top to bottom within a column), and at every position the neighbours in
// direction order 1..8 (up-left, left, down-left, up, down, up-right, right,
// down-right). The search is exhaustive, so the answer is exactly the first
// chain in that order; it only skips branches that provably cannot complete.
class RouteSearch
{
public:
    // letters: the shown board, indexed column * 8 + row; word: tile codes.
    RouteSearch(const Letters &letters, const std::vector<int> &word);

    // The chain, one cell per letter; empty when there is none, and for an
    // empty word or one longer than MaxWord letters.
    std::vector<Cell> find();

    // Search nodes visited by the last find(), for the benchmark.
    std::uint64_t visited() const { return m_visited; }

private:
    using Mask = std::uint64_t;

    // The search in order; nothing when it ran out of its budget.
    std::optional<std::vector<Cell>> search();
    void findStartable();
    bool extend(int position, int cell, Mask used);
    // The cells that can still hold each remaining letter, given the cells
    // used so far: a cell qualifies when it has the letter, is free, and
    // touches a qualifying cell of the next position.
    bool reachable(int from, Mask used, Mask *reach) const;

    // The cells that could lie on a completion from a cell at a position,
    // ignoring which are used: whether the completion exists depends only on
    // the used cells among them. Computed when first needed.
    Mask relevant(int position, int cell);
    std::vector<std::array<Mask, 64>> m_relevant;
    std::vector<std::uint64_t> m_relevantKnown;
    // Dead ends met so far, keyed by position, cell and the used cells that
    // matter there; an open-addressing table, since this is the hot path.
    struct DeadEnd {
        Mask used = 0;
        int place = -1; // position * 64 + cell; -1 marks a free slot
    };
    bool isDeadEnd(int place, Mask used) const;
    void addDeadEnd(int place, Mask used);
    static std::size_t slotOf(int place, Mask used, std::size_t mask);
    std::vector<DeadEnd> m_deadEnds;
    std::size_t m_deadEndCount = 0;

    // For each position, the cells from which the rest of the word can be
    // laid out at all, before any cell is used.
    std::vector<Mask> m_startable;

    std::vector<int> m_group;
    std::array<int, MaxWord> m_groupLetter{};
    int m_groups = 0;
    std::vector<std::array<int, MaxWord>> m_needed;

    std::array<Mask, 27> m_letterMask{};
    std::vector<int> m_word;
    std::vector<int> m_chain;
    std::uint64_t m_visited = 0;
    std::uint64_t m_budget = 0;
    bool m_aborted = false;
};

} // namespace rules
