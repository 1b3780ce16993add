#pragma once

#include "cell.h"
#include "geometry.h"
#include "points.h"
#include "wordgraph.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rules {

// A word that the board holds, with one path that spells it.
struct SolvedWord {
    std::uint32_t index = 0; // its number in the word graph
    std::string word;        // upper case
    int points = 0;
    std::array<Cell, MaxWord> cells{};
    int length = 0;

    std::span<const Cell> path() const { return std::span<const Cell>(cells.data(), std::size_t(length)); }
};

struct Solution {
    std::vector<SolvedWord> words; // in the graph's (alphabetical) order
    int points = 0;
};

// Finds every word of MinWord..MaxWord letters of a word graph that can be
// spelled on a board along touching cells, no cell twice: a walk of the
// board and the graph together, which leaves a branch as soon as its
// letters begin no word. The path kept for a word is the first the walk
// meets: start cells in index order, then neighbours in NeighbourSteps order.
//
// A branch whose words have all been found already is left at once: on
// boards of a few letters, where the same words lie along a great many
// paths, that is most of the walk.
//
// A cell whose code is not a letter (an empty cell, a drawing code, any
// other number) is in no word. Keeps its buffers between boards, so one
// solver for many boards is the fast way; not for two threads at once.
class Solver
{
public:
    // The graph outlives the solver.
    explicit Solver(const WordGraph &graph);

    Solution solve(const Letters &letters);

private:
    struct Hit {
        std::uint32_t index;
        std::uint8_t length;
        std::array<std::uint8_t, MaxWord> cells;
    };

    void walk(int cell, const GraphNode &node, std::uint32_t index, int depth, std::uint64_t used);
    // Whether every word numbered first..first+count-1 has been found.
    bool allSeen(std::uint32_t first, std::uint32_t count) const;

    const WordGraph &m_graph;
    const GraphNode *m_nodes;
    std::array<std::uint32_t, CellCount> m_letterBit{};
    // The letters of each cell's neighbours: a state none of whose letters
    // is there ends the branch without a look at each neighbour.
    std::array<std::uint32_t, CellCount> m_aroundBits{};
    std::array<std::uint8_t, MaxWord> m_path{};
    std::vector<std::uint64_t> m_seen; // one bit per word number
    std::vector<Hit> m_hits;
};

} // namespace rules
