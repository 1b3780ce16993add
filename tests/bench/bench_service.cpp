// Verified postings on the real service over a loopback port, one client posting game after game,
// beside old-style postings and the replay of a game alone (no HTTP). Each game is a fresh ticket
// whose board's words come from the solver, fetched and solved outside the timed part.
#include "builtinwords.h"
#include "dealdice.h"
#include "gamecheck.h"
#include "servicepaths.h"
#include "solver.h"
#include "testserver.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace paths = rules::servicepaths;

struct Game {
    std::string id;
    rules::Letters letters{};
    std::vector<std::string> words;
    int points = 0;
};

// `count` words of the board, the way a player finds them: spread over the solver's list.
Game playedGame(httplib::Client &client, std::size_t count)
{
    const auto answer = client.Get(paths::Ticket);
    if (!answer || answer->status != 200)
        throw std::runtime_error("no ticket");
    const std::size_t space = answer->body.find(' ');
    Game game;
    game.id = answer->body.substr(0, space);
    game.letters = rules::dealFromSeed(*rules::readBoardCode(answer->body.substr(space + 1)).seed);
    static rules::Solver solver(rules::builtInWords());
    const auto found = solver.solve(game.letters).words;
    const std::size_t step = std::max<std::size_t>(1, found.size() / count);
    for (std::size_t i = 0; i < found.size() && game.words.size() < count; i += step) {
        game.words.push_back(found[i].word);
        game.points += found[i].points;
    }
    return game;
}

std::string target(const Game &game)
{
    std::string words;
    for (const auto &word : game.words)
        words += (words.empty() ? "" : ",") + word;
    return std::string(paths::Posting) + "?name=bench&date=7/4/13&score=" + std::to_string(game.points)
           + "&game=" + game.id + "&words=" + words;
}

TestServer::Setup quickGames()
{
    TestServer::Setup setup;
    setup.config.minGameSeconds = 0;
    setup.config.postingLimit = 0;
    setup.config.ticketLimit = 0;
    return setup;
}

void VerifiedPosting(benchmark::State &state)
{
    TestServer server(quickGames());
    auto client = server.client();
    for (auto _ : state) {
        state.PauseTiming();
        const Game game = playedGame(*client, std::size_t(state.range(0)));
        const std::string posting = target(game);
        state.ResumeTiming();
        const auto answer = client->Get(posting);
        if (!answer || answer->status != 200)
            state.SkipWithError("posting refused");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(VerifiedPosting)->Arg(20)->Arg(100)->UseRealTime()->Unit(benchmark::kMicrosecond);

void UnverifiedPosting(benchmark::State &state)
{
    TestServer server(quickGames());
    auto client = server.client();
    const std::string posting = std::string(paths::Posting) + "?name=bench&date=7/4/13&score=57";
    for (auto _ : state) {
        const auto answer = client->Get(posting);
        if (!answer || answer->status != 200)
            state.SkipWithError("posting refused");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(UnverifiedPosting)->UseRealTime()->Unit(benchmark::kMicrosecond);

void Ticket(benchmark::State &state)
{
    TestServer server(quickGames());
    auto client = server.client();
    for (auto _ : state) {
        const auto answer = client->Get(paths::Ticket);
        if (!answer || answer->status != 200)
            state.SkipWithError("no ticket");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Ticket)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The replay alone: list look-ups, path searches and the points of a game's words.
void ReplayOnly(benchmark::State &state)
{
    TestServer server(quickGames());
    auto client = server.client();
    const Game game = playedGame(*client, std::size_t(state.range(0)));
    for (auto _ : state) {
        const std::string problem = gamecheck::problem(game.letters, game.words, game.points, rules::builtInWords());
        if (!problem.empty())
            state.SkipWithError(problem.c_str());
        benchmark::DoNotOptimize(problem);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ReplayOnly)->Arg(20)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
