// Time to place one typed letter, on ordinary boards and on the worst boards
// we have found (by hand and by a hill-climbing search that maximised the
// work of the path search). The step-by-step reference search runs once on
// one of them for comparison.
#include "boardtext.h"
#include "game.h"
#include "literalroute.h"
#include "routefinder.h"
#include "tile.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char *name;
    const char *board; // reading order
    const char *word;  // the letters typed so far and the new one
};

// Boards full of a few letters, where a word almost fits: the search must
// rule out nearly every chain before it answers.
const Case worstCases[] = {
    {"five-letter e-islands, 6 x then 6 e", "eeexeexxeexxeexxxxxxxexxxxxxxxxxxxxxxxxexxxxxxeeeeexxxexeexxxxex",
     "xxxxxxeeeeee"},
    {"three e among x, e x8 e x e", "xxxxxxxxxxxxexxxxxxxxxxxxxxxxxxxxxxxxxxxxxxexxxxxxxxxxxxxexxxxxx", "exxxxxxxxexe"},
    {"hill-climbed e/x, no chain", "xexxxexxeeexxexxxxexxexxxxexxexxxxeexexxexxeeeeexxeexxxxeeexxxxx", "xxxxxxxxxxxe"},
    {"hill-climbed e/x, 5 e at both ends", "xxxxxxeexxxxxxxexeexxexxeeexxxeexxxxxxxxxxxxxexexxexxxexxxeexexe",
     "eexxxxxeeeex"},
    {"hill-climbed e/a", "aaaaaaeeaaaaaaaeaeeaaeaaeeeaaaeeaaaaaaaaaaaaaeaeaaeaaaeaaaeeaeae", "eeaaaaaeeeea"},
    {"hill-climbed e/s", "sssssssssssesssssssseexxssseeexeeessssxessssssseessesesesesesess", "eeesssseeees"},
    {"all e, x in the far corner", "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeex", "eeeeeeeeeeex"},
    {"all e, no x", "eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee", "eeeeeeeeeeex"},
};

std::vector<int> codes(const char *word)
{
    std::vector<int> result;
    for (const char *c = word; *c; ++c)
        result.push_back(*c - 'a' + Tile::FirstLetter);
    return result;
}

void worstCase(benchmark::State &state)
{
    const Case &c = worstCases[state.range(0)];
    const auto letters = *BoardText::parse(QString::fromLatin1(c.board));
    const std::vector<int> word = codes(c.word);
    std::uint64_t visited = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        RouteFinder finder(letters, word);
        found = finder.find().size();
        visited = finder.visited();
    }
    state.SetLabel(c.name);
    state.counters["nodes"] = double(visited);
    state.counters["found"] = double(found != 0);
}

// Typing a whole word letter by letter through the game, on dealt boards,
// with words read off the board and words whose last letter was changed.
void typingOnDealtBoards(benchmark::State &state)
{
    QRandomGenerator random(7);
    struct Typing {
        BoardText::Letters letters;
        std::vector<int> word;
    };
    std::vector<Typing> typings;
    for (int i = 0; i < 200; ++i) {
        Typing t;
        for (int &code : t.letters)
            code = Tile::letterForChance(int(random.bounded(1, 99)));
        int cell = int(random.bounded(64));
        for (int n = 0; n < 10; ++n) {
            t.word.push_back(t.letters[cell]);
            const int column = qBound(0, cell / 8 + int(random.bounded(3)) - 1, 7);
            const int row = qBound(0, cell % 8 + int(random.bounded(3)) - 1, 7);
            cell = column * 8 + row;
        }
        typings.push_back(t);
    }
    Game game(Game::Services{});
    std::size_t letters = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        const Typing &t = typings[next++ % typings.size()];
        state.PauseTiming();
        game.setDraw(BoardText::draws(t.letters));
        game.startGame();
        state.ResumeTiming();
        for (int code : t.word)
            game.typetheletter(code);
        letters += t.word.size();
    }
    state.counters["letters"] = benchmark::Counter(double(letters), benchmark::Counter::kIsRate);
}

// The step-by-step search on the first worst case, for comparison.
void stepByStep(benchmark::State &state)
{
    const Case &c = worstCases[0];
    const auto letters = *BoardText::parse(QString::fromLatin1(c.board));
    for (auto _ : state) {
        bool gaveUp = false;
        benchmark::DoNotOptimize(literalRoute(letters, codes(c.word), 4'000'000'000ull, &gaveUp));
    }
    state.SetLabel(c.name);
}

} // namespace

BENCHMARK(worstCase)->DenseRange(0, std::size(worstCases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(typingOnDealtBoards)->Unit(benchmark::kMicrosecond);
BENCHMARK(stepByStep)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the game's clock is a timer
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
