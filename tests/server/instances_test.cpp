#include "builtinwords.h"
#include "childprocess.h"
#include "dealdice.h"
#include "httpstatus.h"
#include "servicepaths.h"
#include "solver.h"
#include "testserver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Two instances of the service on one database, as behind a load balancer: whatever one hands
// out or counts, the other honours. Runs on the tests' store, SQLite or PostgreSQL.

namespace {

namespace paths = rules::servicepaths;

struct Game {
    std::string id;
    std::string target; // an honest posting of it
};

Game play(httplib::Client &client)
{
    const auto answer = client.Get(paths::Ticket);
    if (!answer || answer->status != httpstatus::ok)
        throw std::runtime_error("no ticket");
    const std::size_t space = answer->body.find(' ');
    Game game{answer->body.substr(0, space), {}};
    const auto board = rules::dealFromSeed(*rules::readBoardCode(answer->body.substr(space + 1)).seed);
    const auto words = rules::Solver(rules::builtInWords()).solve(board).words;
    std::string list;
    int points = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(3, words.size()); ++i) {
        list += (list.empty() ? "" : ",") + words[i].word;
        points += words[i].points;
    }
    game.target = std::string(paths::Posting) + "?name=Race&date=7/4/13&score=" + std::to_string(points) + "&game=" + game.id
                  + "&words=" + list;
    return game;
}

std::string unverified(const std::string &name, int score)
{
    return std::string(paths::Posting) + "?name=" + name + "&date=7/4/13&score=" + std::to_string(score);
}

TestServer::Setup sharing(TestServer::Setup setup, const TestServer &first)
{
    setup.sharedDatabase = &first.database();
    return setup;
}

// tarvlesolo-service as the operator starts it, stopped with SIGTERM by the destructor.
class ServiceProcess {
public:
    explicit ServiceProcess(const std::string &database)
        : m_port(freeLoopbackPort())
        , m_process({TARVLE_SERVICE, "--port", std::to_string(m_port), "--db", database, "--min-game-seconds", "0",
                     "--db-connections", "3"},
                    "/dev/null")
    {
        if (!waitForPort(m_port, std::chrono::seconds(30)))
            throw std::runtime_error("the service did not come up on port " + std::to_string(m_port));
    }

    std::unique_ptr<httplib::Client> client() const
    {
        auto client = std::make_unique<httplib::Client>("127.0.0.1", m_port);
        client->set_url_encode(false);
        client->set_connection_timeout(5, 0);
        return client;
    }
    // The exit status after SIGTERM; -1 when it did not exit normally.
    int stop() { return m_process.stop(); }

private:
    int m_port;
    ChildProcess m_process;
};

} // namespace

TEST(Instances, handOutDistinctTicketsAndAcceptEachTicketOnceWhicheverGetsIt)
{
    // Tickets of either instance are distinct and known to both; eight threads posting one game
    // at once, half to each instance, get one 200 and seven 409, round after round.
    TestServer first(TestServer::openGames());
    TestServer second(sharing(TestServer::openGames(), first));
    auto firstClient = first.client();
    auto secondClient = second.client();

    std::set<std::string> ids;
    for (int i = 0; i < 20; ++i) {
        const Game a = play(*firstClient);
        const Game b = play(*secondClient);
        ids.insert(a.id);
        ids.insert(b.id);
        ASSERT_TRUE(second.store().ticket(a.id)) << a.id;
        ASSERT_TRUE(first.store().ticket(b.id)) << b.id;
    }
    EXPECT_EQ(ids.size(), 40u);

    constexpr int rounds = 20;
    constexpr int threads = 8;
    for (int round = 0; round < rounds; ++round) {
        const Game game = play(round % 2 ? *secondClient : *firstClient);
        const PostingRace race = postAtOnce({&first, &second}, game.target, threads);
        ASSERT_EQ(race.stored, 1) << round;
        ASSERT_EQ(race.refusedAsPosted, threads - 1) << round;
    }
    EXPECT_EQ(first.store().count(), rounds);
    EXPECT_EQ(second.store().best(Ranking::Verified, 100).size(), std::size_t(rounds));
}

TEST(Instances, shareTheRateLimits)
{
    // A client spreading its postings over both instances gets the limit once, not twice.
    TestServer::Setup limited;
    limited.config.postingLimit = 4;
    limited.now = [] { return std::chrono::system_clock::time_point(std::chrono::seconds(60'000'010)); };
    TestServer first(limited);
    TestServer second(sharing(limited, first));
    auto firstClient = first.client();
    auto secondClient = second.client();
    int accepted = 0;
    int refused = 0;
    for (int i = 0; i < 10; ++i) {
        const auto answer = (i % 2 ? secondClient : firstClient)->Get(unverified(std::string("p").append(std::to_string(i)), i));
        ASSERT_TRUE(answer);
        accepted += answer->status == httpstatus::ok ? 1 : 0;
        refused += answer->status == httpstatus::tooManyRequests ? 1 : 0;
    }
    EXPECT_EQ(accepted, 4);
    EXPECT_EQ(refused, 6);
    EXPECT_EQ(second.store().count(), 4);
}

TEST(Instances, serveTheSameList)
{
    // Postings made through either instance appear, in the same order, on the list of both.
    TestServer first(TestServer::openGames());
    TestServer second(sharing(TestServer::openGames(), first));
    auto firstClient = first.client();
    auto secondClient = second.client();
    ASSERT_EQ(firstClient->Get(unverified("FromFirst", 70))->status, httpstatus::ok);
    ASSERT_EQ(secondClient->Get(unverified("FromSecond", 80))->status, httpstatus::ok);
    ASSERT_EQ(firstClient->Get(play(*secondClient).target)->status, httpstatus::ok);

    const httplib::Headers host = {{"Host", "scores.example.org"}};
    const auto a = firstClient->Get(paths::Scores, host);
    const auto b = secondClient->Get(paths::Scores, host);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->status, httpstatus::ok);
    EXPECT_EQ(a->body, b->body);
    EXPECT_NE(a->body.find("<td>FromFirst</td>"), std::string::npos);
    EXPECT_LT(a->body.find("<td>FromSecond</td>"), a->body.find("<td>FromFirst</td>"));
    EXPECT_NE(a->body.find("<td>Race</td>"), std::string::npos);
    EXPECT_EQ(first.store().listVersion(), second.store().listVersion());
}

TEST(Instances, twoServiceProcessesOnOneDatabaseShareTicketsPostingsAndTheList)
{
    // The programs themselves, as an operator runs them: a ticket from one is posted once through
    // the other, and both serve the same list; both stop cleanly.
    const TestDatabase database;
    ServiceProcess first(database.location());
    ServiceProcess second(database.location());
    auto firstClient = first.client();
    auto secondClient = second.client();

    const Game game = play(*firstClient);
    const auto posted = secondClient->Get(game.target);
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, httpstatus::ok);
    EXPECT_EQ(firstClient->Get(game.target)->status, httpstatus::conflict);
    ASSERT_EQ(firstClient->Get(unverified("Plain", 5))->status, httpstatus::ok);

    const httplib::Headers host = {{"Host", "scores.example.org"}};
    const auto a = firstClient->Get(paths::Scores, host);
    const auto b = secondClient->Get(paths::Scores, host);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->body, b->body);
    EXPECT_NE(a->body.find("<td>Race</td>"), std::string::npos);
    EXPECT_NE(a->body.find("<td>Plain</td>"), std::string::npos);
    EXPECT_EQ(first.stop(), 0);
    EXPECT_EQ(second.stop(), 0);
}
