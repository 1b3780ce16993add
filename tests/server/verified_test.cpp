#include "builtinwords.h"
#include "dailyboard.h"
#include "dealdice.h"
#include "firstschema.h"
#include "httpstatus.h"
#include "servicepaths.h"
#include "solver.h"
#include "testserver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <latch>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace paths = rules::servicepaths;

constexpr auto lineType = "text/plain; charset=utf-8";

struct GameTicket {
    std::string id;
    std::string code;
};

GameTicket parseTicket(const std::string &line)
{
    const std::size_t space = line.find(' ');
    if (space == std::string::npos)
        throw std::runtime_error("not a ticket: " + line);
    return {line.substr(0, space), line.substr(space + 1)};
}

GameTicket fetchTicket(httplib::Client &client, bool daily = false)
{
    const auto answer = client.Get(std::string(paths::Ticket) + (daily ? "?daily=1" : ""));
    if (!answer || answer->status != httpstatus::ok)
        throw std::runtime_error("no ticket");
    return parseTicket(answer->body);
}

// Real words of the ticket's board, found by the rules' solver: `count` of them, the longest
// first, or the shortest with `shortest`.
std::vector<rules::SolvedWord> wordsOf(const GameTicket &ticket, std::size_t count, bool shortest = false)
{
    rules::Solver solver(rules::builtInWords());
    auto words = solver.solve(rules::dealFromSeed(*rules::readBoardCode(ticket.code).seed)).words;
    std::stable_sort(words.begin(), words.end(),
                     [shortest](const auto &a, const auto &b) { return shortest ? a.length < b.length : a.length > b.length; });
    words.resize(std::min(count, words.size()));
    return words;
}

// A word of the built-in list that the ticket's board does not hold.
std::string wordNotOn(const GameTicket &ticket)
{
    rules::Solver solver(rules::builtInWords());
    std::set<std::string> onBoard;
    for (const auto &word : solver.solve(rules::dealFromSeed(*rules::readBoardCode(ticket.code).seed)).words)
        onBoard.insert(word.word);
    for (std::uint32_t i = 0;; ++i) {
        std::string word = rules::builtInWords().word(i);
        if (!onBoard.contains(word))
            return word;
    }
}

std::string joined(const std::vector<std::string> &words)
{
    std::string text;
    for (const auto &word : words)
        text += (text.empty() ? "" : ",") + word;
    return text;
}

int pointsOf(const std::vector<rules::SolvedWord> &words)
{
    int points = 0;
    for (const auto &word : words)
        points += word.points;
    return points;
}

std::vector<std::string> textOf(const std::vector<rules::SolvedWord> &words)
{
    std::vector<std::string> text;
    for (const auto &word : words)
        text.push_back(word.word);
    return text;
}

std::string postTarget(std::string_view name, int score, std::string_view game, std::string_view words)
{
    return std::string(paths::Posting) + "?name=" + std::string(name) + "&date=7/4/13&score=" + std::to_string(score)
           + "&game=" + std::string(game) + "&words=" + std::string(words);
}

// Moves a ticket's issue time back, straight in the database file, as if it were handed out then.
void ageTicket(const std::filesystem::path &database, const std::string &id, long long seconds)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    const std::string sql = "UPDATE tickets SET issued_at = issued_at - " + std::to_string(seconds) + " WHERE id = '" + id + "'";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_changes(db), 1);
    sqlite3_close(db);
}

TestServer::Setup quickGames()
{
    TestServer::Setup setup;
    setup.config.minGameSeconds = 0;
    setup.config.postingLimit = 0;
    setup.config.ticketLimit = 0;
    return setup;
}

// A refusal the game can show: 4xx, one plain-text line, no markup.
void expectRefusal(const httplib::Result &answer, int status, const std::string &line)
{
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, status) << line;
    EXPECT_EQ(answer->get_header_value("Content-Type"), lineType) << line;
    EXPECT_EQ(answer->body, line);
}

} // namespace

TEST(Tickets, idsAreUniqueAndOfTheIdAlphabetAndTheDailyTicketHasTodaysCode)
{
    // 200 tickets: distinct ids of 16 to 64 characters of A-Z a-z 0-9 - _, random board codes
    // that read back; with daily=1 today's code; any other query 400; the ticket limit applies.
    TestServer server(quickGames());
    auto client = server.client();
    std::set<std::string> ids;
    std::set<std::string> codes;
    for (int i = 0; i < 200; ++i) {
        const auto answer = client->Get(paths::Ticket);
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, httpstatus::ok);
        EXPECT_EQ(answer->get_header_value("Content-Type"), lineType);
        const GameTicket ticket = parseTicket(answer->body);
        EXPECT_GE(ticket.id.size(), 16u);
        EXPECT_LE(ticket.id.size(), 64u);
        EXPECT_EQ(ticket.id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
                  std::string::npos)
            << ticket.id;
        EXPECT_TRUE(rules::readBoardCode(ticket.code).seed) << ticket.code;
        EXPECT_EQ(answer->body.find('\n'), std::string::npos);
        ids.insert(ticket.id);
        codes.insert(ticket.code);
    }
    EXPECT_EQ(ids.size(), 200u);
    EXPECT_GE(codes.size(), 199u);

    const std::string before = rules::boardCode(rules::dailySeed(rules::utcToday()));
    const GameTicket daily = fetchTicket(*client, true);
    const std::string after = rules::boardCode(rules::dailySeed(rules::utcToday()));
    EXPECT_TRUE(daily.code == before || daily.code == after) << daily.code; // a midnight may pass
    EXPECT_NE(fetchTicket(*client, true).id, daily.id);

    for (const char *query : {"?daily=2", "?daily=1&daily=1", "?x=1", "?daily=1%00"})
        EXPECT_EQ(client->Get(std::string(paths::Ticket) + query)->status, httpstatus::badRequest) << query;

    TestServer::Setup limited = quickGames();
    limited.config.ticketLimit = 2;
    TestServer strict(limited);
    auto strictClient = strict.client();
    fetchTicket(*strictClient);
    fetchTicket(*strictClient, true);
    const auto refused = strictClient->Get(paths::Ticket);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, httpstatus::tooManyRequests);
    EXPECT_FALSE(refused->get_header_value("Retry-After").empty());
}

TEST(VerifiedPostings, aRealGameIsStoredVerifiedAndRankedAboveTheUnverifiedOnes)
{
    // Real words of the ticket's board with their exact points are stored as verified and ranked;
    // a daily game is ranked on today's board too; an old-style posting of a higher score is
    // answered as ever, stored unverified and shown apart, unranked.
    TestServer server(quickGames());
    auto client = server.client();

    const GameTicket ticket = fetchTicket(*client);
    const auto words = wordsOf(ticket, 6);
    ASSERT_EQ(words.size(), 6u);
    const auto posted = client->Get(postTarget("Vera", pointsOf(words), ticket.id, joined(textOf(words))));
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, httpstatus::ok);
    EXPECT_NE(posted->body.find("Score posted"), std::string::npos);
    EXPECT_TRUE(server.store().ticket(ticket.id)->used);

    // A game with no words scores 0; commas may come %-escaped, as the game's encoder writes them.
    const GameTicket daily = fetchTicket(*client, true);
    const auto dailyWords = wordsOf(daily, 2, true);
    ASSERT_EQ(dailyWords.size(), 2u);
    const std::string escapedComma = dailyWords[0].word + "%2C" + dailyWords[1].word;
    ASSERT_EQ(client->Get(postTarget("Dee", pointsOf(dailyWords), daily.id, escapedComma))->status, httpstatus::ok);
    ASSERT_EQ(client->Get(postTarget("Zero", 0, fetchTicket(*client).id, ""))->status, httpstatus::ok);

    const auto old = client->Get(std::string(paths::Posting) + "?name=Oldie&date=7/4/13&score=99999");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->status, httpstatus::ok);
    EXPECT_NE(old->body.find("Score posted"), std::string::npos);

    const std::vector<StoredPosting> verified = server.store().best(Ranking::Verified, 10);
    ASSERT_EQ(verified.size(), 3u);
    EXPECT_EQ(verified[0].name, "Vera");
    EXPECT_EQ(verified[0].score, pointsOf(words));
    EXPECT_EQ(server.store().best(Ranking::Unverified, 10).size(), 1u);

    const std::string page = client->Get(paths::Scores)->body;
    const std::size_t today = page.find("Today&#39;s board, " + daily.code);
    const std::size_t unverified = page.find("<h2>Unverified scores</h2>");
    ASSERT_NE(today, std::string::npos);
    ASSERT_NE(unverified, std::string::npos);
    EXPECT_LT(page.find(">1</td><td>Vera</td>"), today);
    EXPECT_LT(today, page.find(">1</td><td>Dee</td>", today));
    EXPECT_EQ(page.find("<td>Vera</td>", today), std::string::npos);
    EXPECT_LT(unverified, page.find("<tr><td>Oldie</td>"));
}

TEST(VerifiedPostings, everyRefusalIsOneLineAndStoresNothing)
{
    // Unknown or malformed games, words not in the list, not on the board, repeated, too short or
    // too long, a wrong score, too early and too late: each its status and line, nothing stored,
    // the ticket still unused, so the honest posting afterwards goes through.
    TestServer server(quickGames());
    auto client = server.client();
    const GameTicket ticket = fetchTicket(*client);
    const auto words = textOf(wordsOf(ticket, 3));
    const int score = pointsOf(wordsOf(ticket, 3));
    const std::string absent = wordNotOn(ticket);

    const auto post = [&](int points, const std::string &list, const std::string &game) {
        return client->Get(postTarget("Ann", points, game, list));
    };
    expectRefusal(post(score, joined(words), "AAAAAAAAAAAAAAAAAAAAAAAA"), httpstatus::notFound, "Unknown game.");
    expectRefusal(post(score, joined(words), "short"), httpstatus::badRequest, "The game id is malformed.");
    expectRefusal(post(score, joined(words), ticket.id + "%3C"), httpstatus::badRequest, "The game id is malformed.");
    expectRefusal(post(score, joined(words), std::string(65, 'A')), httpstatus::badRequest, "The game id is malformed.");
    expectRefusal(post(score + 1, joined({words[0], "QZXQ", words[1]}), ticket.id), httpstatus::unprocessable,
                  "QZXQ is not in the word list.");
    expectRefusal(post(score + 1, joined({words[0], absent}), ticket.id), httpstatus::unprocessable,
                  absent + " is not on the board.");
    expectRefusal(post(score, joined({words[0], words[1], words[0]}), ticket.id), httpstatus::unprocessable,
                  words[0] + " is posted twice.");
    expectRefusal(post(score, joined({words[0], "AT"}), ticket.id), httpstatus::unprocessable, "AT is too short.");
    expectRefusal(post(score, "ABCDEFGHIJKLMN", ticket.id), httpstatus::unprocessable, "A word of 14 letters is too long.");
    expectRefusal(post(score + 1, joined(words), ticket.id), httpstatus::unprocessable, "The score does not match the words.");
    expectRefusal(post(1, "", ticket.id), httpstatus::unprocessable, "The score does not match the words.");
    expectRefusal(client->Get(std::string(paths::Posting) + "?name=Ann&date=d&score=1&game=" + ticket.id),
                  httpstatus::badRequest, "The words of the game are missing.");
    expectRefusal(client->Get(std::string(paths::Posting) + "?name=Ann&date=d&score=1&words=CAT"), httpstatus::badRequest,
                  "The game is missing.");
    EXPECT_EQ(server.store().count(), 0);
    EXPECT_FALSE(server.store().ticket(ticket.id)->used);

    ageTicket(server.databasePath(), ticket.id, 24 * 60 * 60 + 1);
    expectRefusal(post(score, joined(words), ticket.id), httpstatus::gone, "Posted too late.");
    ageTicket(server.databasePath(), ticket.id, -2);
    ASSERT_EQ(post(score, joined(words), ticket.id)->status, httpstatus::ok); // just under a day old is in time
    expectRefusal(post(score, joined(words), ticket.id), httpstatus::conflict, "This game was already posted.");
    EXPECT_EQ(server.store().count(), 1);

    // With the default least game length a posting at once is too early.
    TestServer::Setup defaults = quickGames();
    defaults.config.minGameSeconds = ServiceConfig::defaultMinGameSeconds;
    TestServer strict(defaults);
    auto strictClient = strict.client();
    const GameTicket fresh = fetchTicket(*strictClient);
    const auto freshWords = wordsOf(fresh, 2);
    expectRefusal(strictClient->Get(postTarget("Ann", pointsOf(freshWords), fresh.id, joined(textOf(freshWords)))),
                  httpstatus::forbidden, "Posted too early.");
    ageTicket(strict.databasePath(), fresh.id, ServiceConfig::defaultMinGameSeconds);
    EXPECT_EQ(strictClient->Get(postTarget("Ann", pointsOf(freshWords), fresh.id, joined(textOf(freshWords))))->status,
              httpstatus::ok);
    EXPECT_EQ(strict.store().count(), 1);
}

TEST(VerifiedPostings, replaysCountAgainstThePostingLimitEvenWhenRefused)
{
    // The posting limit is asked before the replay: two made-up games use up a limit of two, and
    // the honest posting after them is answered 429 with its line, storing nothing. Postings
    // refused before the replay (unknown game) do not count.
    TestServer::Setup setup = quickGames();
    setup.config.postingLimit = 2;
    setup.now = [] { return std::chrono::system_clock::time_point(std::chrono::seconds(60'000'030)); };
    TestServer server(setup);
    auto client = server.client();
    const GameTicket ticket = fetchTicket(*client);
    const auto words = wordsOf(ticket, 3);
    const std::string list = joined(textOf(words));
    expectRefusal(client->Get(postTarget("Ann", 1, "BBBBBBBBBBBBBBBBBBBB", list)), httpstatus::notFound, "Unknown game.");
    for (int i = 0; i < 2; ++i)
        expectRefusal(client->Get(postTarget("Ann", pointsOf(words) + 1, ticket.id, list)), httpstatus::unprocessable,
                      "The score does not match the words.");
    const auto limited = client->Get(postTarget("Ann", pointsOf(words), ticket.id, list));
    expectRefusal(limited, httpstatus::tooManyRequests,
                  "Too many scores were posted from your address in the last minute. Please wait a minute and post again.");
    EXPECT_EQ(limited->get_header_value("Retry-After"), "30");
    EXPECT_EQ(server.store().count(), 0);
    EXPECT_FALSE(server.store().ticket(ticket.id)->used);
}

TEST(VerifiedPostings, hostileWordListsGetAClearRefusalAndTheServiceStaysUp)
{
    // Huge values, thousands of words, odd characters, lower case and empty words are refused
    // (4xx, nothing stored) without the service's memory growing with them.
    TestServer server(quickGames());
    auto client = server.client();
    const GameTicket ticket = fetchTicket(*client);
    const std::string word = textOf(wordsOf(ticket, 1, true))[0]; // a thousand fit in the request line

    std::string thousand;
    for (int i = 0; i < 1000; ++i)
        thousand += (i ? "," : "") + word;
    std::string tooMany = "CAT";
    for (int i = 0; i < 1000; ++i)
        tooMany += ",CAT";

    const auto post = [&](const std::string &list) { return client->Get(postTarget("Ann", 1, ticket.id, list)); };
    expectRefusal(post(thousand), httpstatus::unprocessable, word + " is posted twice.");
    expectRefusal(post(tooMany), httpstatus::badRequest, "A game has at most 1000 words.");
    expectRefusal(post(std::string(7000, ',')), httpstatus::badRequest, "A game has at most 1000 words.");
    for (const std::string odd : {"cat", "Cat", "C%3Cb%3EAT", "CAT%00", "CAT%0ADOG", "%C3%89T%C3%89", "CAT+DOG",
                                  "CAT%20", "C-A-T", "CAT;DOG"})
        expectRefusal(post(odd), httpstatus::badRequest, "Words must be written in the capital letters A to Z.");
    for (const std::string empty : {",", ",CAT", "CAT,", "CAT,,DOG"})
        expectRefusal(post(empty), httpstatus::badRequest, "The words hold an empty word.");
    expectRefusal(post("CAT%2"), httpstatus::badRequest, "The request holds a malformed %-escape.");
    expectRefusal(client->Get(postTarget("Ann", 1, ticket.id, "CAT") + "&words=DOG"), httpstatus::badRequest,
                  "The words are given more than once.");

    const auto residentKiB = [] {
        std::ifstream file("/proc/self/status");
        for (std::string line; std::getline(file, line);) {
            if (line.rfind("VmRSS:", 0) == 0)
                return std::stol(line.substr(6));
        }
        return 0L;
    };
    const long before = residentKiB();
    for (int i = 0; i < 200; ++i) {
        const auto huge = post(std::string(100000, 'A'));
        ASSERT_TRUE(huge) << i;
        EXPECT_EQ(huge->status, httpstatus::headersTooLarge);
        ASSERT_EQ(post(thousand)->status, httpstatus::unprocessable);
    }
    const long grown = residentKiB() - before;
    std::printf("resident memory after 400 hostile postings: %+ld KiB\n", grown);
    EXPECT_LT(grown, 64 * 1024);

    EXPECT_EQ(server.store().count(), 0);
    EXPECT_FALSE(server.store().ticket(ticket.id)->used);
    EXPECT_EQ(client->Get(paths::Scores)->status, httpstatus::ok);
}

TEST(VerifiedPostings, ofConcurrentPostingsOfOneTicketExactlyOneIsStored)
{
    // Eight threads post the same honest game at once, forty rounds: each round one 200 and seven
    // 409 "This game was already posted.", one row per round. Two stores on one file (two service
    // instances) share the guarantee.
    TestServer server(quickGames());
    constexpr int rounds = 40;
    constexpr int threads = 8;
    auto setupClient = server.client();
    for (int round = 0; round < rounds; ++round) {
        const GameTicket ticket = fetchTicket(*setupClient);
        const auto words = wordsOf(ticket, 4);
        const std::string target = postTarget("Race", pointsOf(words), ticket.id, joined(textOf(words)));
        std::atomic<int> stored{0};
        std::atomic<int> refused{0};
        std::latch start(threads);
        std::vector<std::thread> posters;
        for (int t = 0; t < threads; ++t) {
            posters.emplace_back([&] {
                auto client = server.client();
                start.arrive_and_wait();
                const auto answer = client->Get(target);
                if (answer && answer->status == httpstatus::ok)
                    ++stored;
                else if (answer && answer->status == httpstatus::conflict && answer->body == "This game was already posted.")
                    ++refused;
            });
        }
        for (auto &poster : posters)
            poster.join();
        ASSERT_EQ(stored.load(), 1) << round;
        ASSERT_EQ(refused.load(), threads - 1) << round;
    }
    EXPECT_EQ(server.store().count(), rounds);

    Store other(server.databasePath().string());
    for (int round = 0; round < 20; ++round) {
        const GameTicket ticket = fetchTicket(*setupClient);
        std::atomic<int> claims{0};
        std::thread first([&] { claims += server.store().addVerified({"One", "d", 0}, ticket.id) ? 1 : 0; });
        std::thread second([&] { claims += other.addVerified({"Two", "d", 0}, ticket.id) ? 1 : 0; });
        first.join();
        second.join();
        EXPECT_EQ(claims.load(), 1) << round;
    }
    EXPECT_EQ(server.store().count(), rounds + 20);
    EXPECT_FALSE(other.addVerified({"Nobody", "d", 0}, "NoSuchTicketAtAll"));
}
