// Time to solve a board with the built-in word graph: per board over dealt
// boards (median, 99th percentile, worst), on boards made to be hard, and
// 500 boards in one call against a plain trie walk that first builds its
// trie from the word list, as a solver without a graph made at build time must.
#include "builtinwords.h"
#include "dealdice.h"
#include "readingorder.h"
#include "solver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int DealtBoards = 2000;
constexpr int Batch = 500;

// Boards of a few letters along which the same prefixes run many ways: the
// worst a hill-climbing search for work of the walk found, and a board of
// common letters.
const char *const hardBoards[] = {
    "erereresererpreteteteresssstetetiiiininigegeredirerererererererb",
    "pepininurrretinieeperetisssepenneetrrtiiineeesssittrssesineeeses",
    "aapasserappatterpeperaerrerattstrttiiiiieeannnnnrrtiieeepennnsse",
    "ssssssseseeeeessssrnnsseseeeeessssrnnnseseeeeesssssrsseeesesesss",
    "seratinlotesaredilagemottresnapionedlasemiatsorgnespiletradostue",
};

double microseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Each of the dealt boards timed alone (the best of three runs, to keep
// out the noise of other work on the machine); the figures are counters.
void DealtBoardsOneByOne(benchmark::State &state)
{
    rules::Solver solver(rules::builtInWords());
    std::vector<rules::Letters> boards;
    for (int i = 0; i < DealtBoards; ++i)
        boards.push_back(rules::dealFromSeed(rules::Seed(i) * 0x9E3779B1u));
    std::vector<double> times;
    double words = 0;
    for (auto _ : state) {
        times.clear();
        for (const rules::Letters &board : boards) {
            double best = 1e300;
            for (int run = 0; run < 3; ++run) {
                const auto start = std::chrono::steady_clock::now();
                const rules::Solution solution = solver.solve(board);
                best = std::min(best, microseconds(std::chrono::steady_clock::now() - start));
                benchmark::DoNotOptimize(solution.words.data());
                words += run == 0 ? double(solution.words.size()) : 0;
            }
            times.push_back(best);
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["worst_us"] = times.back();
    state.counters["words_per_board"] = words / double(state.iterations()) / DealtBoards;
}
BENCHMARK(DealtBoardsOneByOne)->Iterations(1)->Unit(benchmark::kMillisecond);

void OneDealtBoard(benchmark::State &state)
{
    rules::Solver solver(rules::builtInWords());
    const rules::Letters board = rules::dealFromSeed(rules::Seed(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(solver.solve(board).points);
}
BENCHMARK(OneDealtBoard)->Arg(0)->Arg(1)->Arg(4302)->Unit(benchmark::kMicrosecond);

void HardBoard(benchmark::State &state)
{
    rules::Solver solver(rules::builtInWords());
    const rules::Letters board = rules::parseBoard(hardBoards[state.range(0)]).value();
    std::size_t words = 0;
    for (auto _ : state)
        words = solver.solve(board).words.size();
    state.counters["words"] = double(words);
}
BENCHMARK(HardBoard)->DenseRange(0, std::size(hardBoards) - 1)->Unit(benchmark::kMicrosecond);

std::vector<rules::Letters> batch()
{
    std::vector<rules::Letters> boards;
    for (int i = 0; i < Batch; ++i)
        boards.push_back(rules::dealFromSeed(rules::Seed(i) + 1000000));
    return boards;
}

// What a call of tarvle-tool solve with 500 boards does with the graph.
void FiveHundredBoardsWordGraph(benchmark::State &state)
{
    const std::vector<rules::Letters> boards = batch();
    for (auto _ : state) {
        rules::Solver solver(rules::builtInWords());
        int points = 0;
        for (const rules::Letters &board : boards)
            points += solver.solve(board).points;
        benchmark::DoNotOptimize(points);
    }
}
BENCHMARK(FiveHundredBoardsWordGraph)->Unit(benchmark::kMillisecond);

// The plain way: a trie of 26 children a node, made from data/words.txt at
// the start, walked with the board; each node stands for one prefix, so a
// stamp on it keeps a word from being listed twice.
class PlainTrieSolver
{
public:
    explicit PlainTrieSolver(const char *wordsFile)
    {
        m_nodes.emplace_back();
        std::ifstream in(wordsFile);
        std::string word;
        while (std::getline(in, word)) {
            if (word.size() < std::size_t(rules::MinWord) || word.size() > std::size_t(rules::MaxWord))
                continue;
            if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                continue;
            int node = 0;
            for (char c : word) {
                int &next = m_nodes[std::size_t(node)].child[std::size_t(c - 'a')];
                if (next == 0) {
                    next = int(m_nodes.size());
                    m_nodes.emplace_back(); // invalidates the reference: it is not used again
                }
                node = m_nodes[std::size_t(node)].child[std::size_t(c - 'a')];
            }
            m_nodes[std::size_t(node)].end = true;
        }
        m_stamp.assign(m_nodes.size(), 0);
    }

    struct Found {
        std::string word;
        std::vector<int> path;
    };

    std::vector<Found> solve(const rules::Letters &letters)
    {
        ++m_generation;
        m_letters = &letters;
        m_found.clear();
        for (int cell = 0; cell < rules::CellCount; ++cell) {
            const int code = letters[std::size_t(cell)];
            if (code < 1 || code > 26)
                continue;
            const int next = m_nodes[0].child[std::size_t(code - 1)];
            if (next != 0) {
                m_path.assign(1, cell);
                walk(cell, next, std::uint64_t(1) << cell);
            }
        }
        std::sort(m_found.begin(), m_found.end(), [](const Found &a, const Found &b) { return a.word < b.word; });
        return m_found;
    }

private:
    struct Node {
        std::array<int, 26> child{};
        bool end = false;
    };

    void walk(int cell, int node, std::uint64_t used)
    {
        if (m_nodes[std::size_t(node)].end && m_path.size() >= std::size_t(rules::MinWord)
            && m_stamp[std::size_t(node)] != m_generation) {
            m_stamp[std::size_t(node)] = m_generation;
            std::string word;
            for (int c : m_path)
                word.push_back(char('A' + (*m_letters)[std::size_t(c)] - 1));
            m_found.push_back({word, m_path});
        }
        if (m_path.size() == std::size_t(rules::MaxWord))
            return;
        const int column = rules::columnOf(cell);
        const int row = rules::rowOf(cell);
        for (const rules::Step &step : rules::NeighbourSteps) {
            if (!rules::onBoard(column + step.column, row + step.row))
                continue;
            const int next = rules::cellIndex(column + step.column, row + step.row);
            const int code = (*m_letters)[std::size_t(next)];
            if ((used & (std::uint64_t(1) << next)) || code < 1 || code > 26)
                continue;
            const int child = m_nodes[std::size_t(node)].child[std::size_t(code - 1)];
            if (child == 0)
                continue;
            m_path.push_back(next);
            walk(next, child, used | (std::uint64_t(1) << next));
            m_path.pop_back();
        }
    }

    std::vector<Node> m_nodes;
    std::vector<unsigned> m_stamp;
    unsigned m_generation = 0;
    const rules::Letters *m_letters = nullptr;
    std::vector<int> m_path;
    std::vector<Found> m_found;
};

void FiveHundredBoardsPlainTrie(benchmark::State &state)
{
    const std::vector<rules::Letters> boards = batch();
    std::size_t words = 0;
    for (auto _ : state) {
        PlainTrieSolver solver(TARVLE_WORDS_TXT);
        words = 0;
        for (const rules::Letters &board : boards)
            words += solver.solve(board).size();
        benchmark::DoNotOptimize(words);
    }
    // The same words as the graph's solver finds, or the comparison means nothing.
    rules::Solver graph(rules::builtInWords());
    std::size_t expected = 0;
    for (const rules::Letters &board : boards)
        expected += graph.solve(board).words.size();
    if (words != expected)
        state.SkipWithError("the plain trie finds other words than the graph");
    state.counters["words"] = double(words);
}
BENCHMARK(FiveHundredBoardsPlainTrie)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
