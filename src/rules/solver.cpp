#include "solver.h"

#include "lettercodes.h"

#include <algorithm>
#include <bit>

namespace rules {

namespace {

// Each cell's neighbours in NeighbourSteps order, ended by -1.
using Neighbours = std::array<std::array<std::int8_t, 9>, CellCount>;

constexpr Neighbours makeNeighbours()
{
    Neighbours table{};
    for (int cell = 0; cell < CellCount; ++cell) {
        int count = 0;
        for (const Step &step : NeighbourSteps) {
            const int column = columnOf(cell) + step.column;
            const int row = rowOf(cell) + step.row;
            if (onBoard(column, row))
                table[std::size_t(cell)][std::size_t(count++)] = std::int8_t(cellIndex(column, row));
        }
        table[std::size_t(cell)][std::size_t(count)] = -1;
    }
    return table;
}

constexpr Neighbours neighbours = makeNeighbours();

// The largest branch whose words are checked for all found before it is walked.
constexpr std::uint32_t MaxCheckedWords = 128;

} // namespace

Solver::Solver(const WordGraph &graph)
    : m_graph(graph)
    , m_nodes(graph.nodes().data())
    , m_seen(graph.wordCount() / 64 + 1, 0)
{
}

Solution Solver::solve(const Letters &letters)
{
    Solution solution;
    if (m_graph.nodes().empty())
        return solution;
    for (int cell = 0; cell < CellCount; ++cell) {
        const int code = letters[std::size_t(cell)];
        m_letterBit[std::size_t(cell)] = isLetter(code) ? 1u << (code - FirstLetter) : 0u;
    }
    for (int cell = 0; cell < CellCount; ++cell) {
        std::uint32_t around = 0;
        for (const std::int8_t next : neighbours[std::size_t(cell)]) {
            if (next < 0)
                break;
            around |= m_letterBit[std::size_t(next)];
        }
        m_aroundBits[std::size_t(cell)] = around;
    }

    m_hits.clear();
    const GraphNode &start = m_nodes[0];
    for (int cell = 0; cell < CellCount; ++cell) {
        const std::uint32_t bit = m_letterBit[std::size_t(cell)];
        if (!(start.letters & bit))
            continue;
        const GraphNode &edge = m_nodes[start.firstEdge + std::uint32_t(std::popcount(start.letters & (bit - 1)))];
        m_path[0] = std::uint8_t(cell);
        walk(cell, edge, edge.wordsBefore, 1, std::uint64_t(1) << cell);
    }

    std::sort(m_hits.begin(), m_hits.end(), [](const Hit &a, const Hit &b) { return a.index < b.index; });
    solution.words.reserve(m_hits.size());
    for (const Hit &hit : m_hits) {
        m_seen[hit.index / 64] = 0;
        SolvedWord &word = solution.words.emplace_back();
        word.index = hit.index;
        word.length = hit.length;
        word.points = pointsFor(hit.length);
        word.word.resize(hit.length);
        for (int i = 0; i < hit.length; ++i) {
            const int cell = hit.cells[std::size_t(i)];
            word.cells[std::size_t(i)] = Cell{columnOf(cell), rowOf(cell)};
            word.word[std::size_t(i)] = char(letterChar(letters[std::size_t(cell)]) - 'a' + 'A');
        }
        solution.points += word.points;
    }
    return solution;
}

bool Solver::allSeen(std::uint32_t first, std::uint32_t count) const
{
    if (count == 0)
        return true;
    const std::uint32_t last = first + count - 1;
    for (std::uint32_t block = first / 64; block <= last / 64; ++block) {
        std::uint64_t wanted = ~std::uint64_t(0);
        if (block == first / 64)
            wanted &= ~std::uint64_t(0) << (first % 64);
        if (block == last / 64)
            wanted &= ~std::uint64_t(0) >> (63 - last % 64);
        if ((m_seen[block] & wanted) != wanted)
            return false;
    }
    return true;
}

void Solver::walk(int cell, const GraphNode &s, std::uint32_t index, int depth, std::uint64_t used)
{
    // The words below a state are numbered index.. on; a check of a few
    // blocks of bits, so only for small branches, where the paths repeat.
    if (s.words <= MaxCheckedWords && allSeen(index, s.words))
        return;
    if ((s.letters & WordEnds) && depth >= MinWord) {
        std::uint64_t &seen = m_seen[index / 64];
        const std::uint64_t bit = std::uint64_t(1) << (index % 64);
        if (!(seen & bit)) {
            seen |= bit;
            m_hits.push_back(Hit{index, std::uint8_t(depth), m_path});
        }
    }
    if (depth == MaxWord || !(s.letters & m_aroundBits[std::size_t(cell)]))
        return;
    for (const std::int8_t next : neighbours[std::size_t(cell)]) {
        if (next < 0)
            break;
        const std::uint64_t mask = std::uint64_t(1) << next;
        const std::uint32_t bit = m_letterBit[std::size_t(next)];
        if ((used & mask) || !(s.letters & bit))
            continue;
        const GraphNode &edge = m_nodes[s.firstEdge + std::uint32_t(std::popcount(s.letters & (bit - 1)))];
        m_path[std::size_t(depth)] = std::uint8_t(next);
        walk(next, edge, index + edge.wordsBefore, depth + 1, used | mask);
    }
}

} // namespace rules
