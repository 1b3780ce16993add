// Two service processes on one database of the tests' store, straight and behind nginx with the configuration
// shipped in deploy/nginx: one list, distinct tickets, each ticket taken once, limits shared.
#include "childprocess.h"
#include "httpstatus.h"
#include "rawconnection.h"
#include "servicepaths.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace paths = rules::servicepaths;
using namespace std::chrono_literals;

constexpr auto nginxProgram = "/usr/sbin/nginx";
constexpr int postingLimit = 4;

std::string get(std::string_view target)
{
    return "GET " + std::string(target) + " HTTP/1.1\r\nHost: tarvle.test\r\nConnection: close\r\n\r\n";
}

// Replaces the one occurrence of `from`; a configuration that no longer has it fails the test.
void replaceOnce(std::string &text, const std::string &from, const std::string &to)
{
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    ASSERT_EQ(text.find(from, at + 1), std::string::npos) << from;
    text.replace(at, from.size(), to);
}

class Deployment : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(nginxProgram)) << "nginx is missing: run scripts/install-deps.sh";
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvlesolo-deploy-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        // nginx's workers drop root for nobody and must still reach their folders.
        ::chmod(m_folder.c_str(), 0755);

        m_database = std::make_unique<TestDatabase>();
        const std::string &database = m_database->location();
        for (int i = 0; i < 2; ++i) {
            m_instancePorts[i] = freeLoopbackPort();
            m_instances[i] = std::make_unique<ChildProcess>(
                std::vector<std::string>{TARVLE_SERVICE, "--port", std::to_string(m_instancePorts[i]), "--db",
                                         database, "--trusted-proxy", "127.0.0.1", "--posting-limit",
                                         std::to_string(postingLimit), "--ticket-limit", "0", "--min-game-seconds", "0"},
                m_folder / ("instance" + std::to_string(i) + ".log"));
            // The second waits for the first, which creates the database.
            ASSERT_TRUE(waitForPort(m_instancePorts[i], 10s)) << readWholeFile(m_folder / ("instance" + std::to_string(i) + ".log"));
        }

        std::string site = readWholeFile(TARVLE_DEPLOY_NGINX);
        ASSERT_FALSE(site.empty());
        m_proxyPort = freeLoopbackPort();
        replaceOnce(site, "127.0.0.1:8081", "127.0.0.1:" + std::to_string(m_instancePorts[0]));
        replaceOnce(site, "127.0.0.1:8082", "127.0.0.1:" + std::to_string(m_instancePorts[1]));
        replaceOnce(site, "listen 80;", "listen 127.0.0.1:" + std::to_string(m_proxyPort) + ";");
        writeFile("tarvlesolo.conf", site);
        const std::string folder = m_folder.string();
        writeFile("nginx.conf", "daemon off;\nworker_processes 2;\npid " + folder + "/nginx.pid;\nerror_log " + folder
                                    + "/nginx-error.log;\nevents { worker_connections 512; }\nhttp {\n  access_log off;\n"
                                      "  client_body_temp_path " + folder + "/body;\n  proxy_temp_path " + folder
                                    + "/proxy;\n  fastcgi_temp_path " + folder + "/fastcgi;\n  uwsgi_temp_path " + folder
                                    + "/uwsgi;\n  scgi_temp_path " + folder + "/scgi;\n  include " + folder
                                    + "/tarvlesolo.conf;\n}\n");
        m_nginx = std::make_unique<ChildProcess>(
            std::vector<std::string>{nginxProgram, "-p", folder, "-c", folder + "/nginx.conf"}, m_folder / "nginx.log");
        ASSERT_TRUE(waitForPort(m_proxyPort, 10s)) << readWholeFile(m_folder / "nginx.log")
                                                   << readWholeFile(m_folder / "nginx-error.log");
    }

    void TearDown() override
    {
        m_nginx.reset();
        for (auto &instance : m_instances)
            instance.reset();
        m_database.reset();
        std::error_code ignored;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, ignored);
    }

    void writeFile(const std::string &name, const std::string &text)
    {
        std::FILE *file = std::fopen((m_folder / name).c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }

    // The instances and the proxy, in that order.
    std::vector<int> ports() const { return {m_instancePorts[0], m_instancePorts[1], m_proxyPort}; }

    static RawResponse request(int port, std::string_view target, const std::string &source)
    {
        const auto answer = rawRequest(port, get(target), source, 10s);
        return answer ? *answer : RawResponse{};
    }

    static std::string ticketId(const RawResponse &answer)
    {
        return answer.status == httpstatus::ok ? answer.body.substr(0, answer.body.find(' ')) : std::string();
    }

    std::filesystem::path m_folder;
    std::unique_ptr<TestDatabase> m_database;
    int m_instancePorts[2] = {};
    int m_proxyPort = 0;
    std::unique_ptr<ChildProcess> m_instances[2];
    std::unique_ptr<ChildProcess> m_nginx;
};

std::string verifiedTarget(const std::string &game, const std::string &name)
{
    return std::string(paths::Posting) + "?name=" + name + "&date=7/4/13&score=0&game=" + game + "&words=";
}

// The page without its one link, which names the address asked.
std::string lists(const std::string &page)
{
    return page.substr(0, page.rfind("<p><a href="));
}

} // namespace

TEST_F(Deployment, ticketsAreDistinctEachIsTakenOnceAndEveryAddressShowsOneList)
{
    // Tickets from both instances and through the proxy, from many client addresses.
    std::set<std::string> ids;
    std::vector<std::string> tickets;
    int asked = 0;
    for (int source = 0; source < 12; ++source) {
        for (const int port : ports()) {
            for (int i = 0; i < 5; ++i) {
                const std::string id = ticketId(request(port, paths::Ticket, "127.0.1." + std::to_string(source + 1)));
                ASSERT_FALSE(id.empty()) << "port " << port;
                ++asked;
                ids.insert(id);
                tickets.push_back(id);
            }
        }
    }
    EXPECT_EQ(ids.size(), std::size_t(asked));

    // Each of 30 games posted at once to both instances and through the proxy, each post from
    // an address of its own so no limit interferes: one is taken, the others hear it was.
    constexpr int games = 30;
    std::atomic<int> taken[games] = {};
    std::atomic<int> refusedAsPosted{0};
    std::atomic<int> other{0};
    std::vector<std::thread> posters;
    for (int game = 0; game < games; ++game) {
        for (int way = 0; way < 3; ++way) {
            posters.emplace_back([&, game, way] {
                const auto answer = request(ports()[way], verifiedTarget(tickets[game * 2], "game" + std::to_string(game)),
                                            "127.0." + std::to_string(2 + way) + "." + std::to_string(game + 1));
                if (answer.status == httpstatus::ok)
                    ++taken[game];
                else if (answer.status == httpstatus::conflict && answer.body == "This game was already posted.")
                    ++refusedAsPosted;
                else
                    ++other;
            });
        }
    }
    for (auto &poster : posters)
        poster.join();
    for (int game = 0; game < games; ++game)
        EXPECT_EQ(taken[game].load(), 1) << "game " << game;
    EXPECT_EQ(refusedAsPosted.load(), games * 2);
    EXPECT_EQ(other.load(), 0);

    // Every address shows every game once the instances have looked at the list's version.
    std::vector<std::string> pages;
    for (int tries = 0; tries < 50; ++tries) {
        pages.clear();
        for (const int port : ports())
            pages.push_back(lists(request(port, paths::Scores, "127.0.9.1").body));
        if (pages[0] == pages[1] && pages[1] == pages[2] && pages[0].find("game29") != std::string::npos)
            break;
        std::this_thread::sleep_for(100ms);
    }
    for (int game = 0; game < games; ++game)
        EXPECT_NE(pages[0].find("<td>game" + std::to_string(game) + "</td>"), std::string::npos) << game;
    EXPECT_EQ(pages[0], pages[1]);
    EXPECT_EQ(pages[0], pages[2]);
}

TEST_F(Deployment, aClientHasOneLimitAcrossInstancesAndBehindTheProxy)
{
    // The limits are counted per clock minute; start well inside one.
    const std::time_t now = std::time(nullptr);
    if (now % 60 > 50)
        std::this_thread::sleep_for(std::chrono::seconds(61 - now % 60));

    const auto postFrom = [](int port, const std::string &source, int score) {
        const std::string target = std::string(paths::Posting) + "?name=limited&date=7/4/13&score=" + std::to_string(score);
        return request(port, target, source).status;
    };
    // Straight to the instances in turn: one count between them.
    for (int i = 0; i < postingLimit; ++i)
        EXPECT_EQ(postFrom(ports()[i % 2], "127.0.5.1", i), httpstatus::ok) << i;
    EXPECT_EQ(postFrom(ports()[0], "127.0.5.1", 9), httpstatus::tooManyRequests);
    EXPECT_EQ(postFrom(ports()[1], "127.0.5.1", 9), httpstatus::tooManyRequests);

    // Through the proxy each client is counted as itself, not as the proxy.
    for (const char *source : {"127.0.6.1", "127.0.6.2"}) {
        for (int i = 0; i < postingLimit; ++i)
            EXPECT_EQ(postFrom(m_proxyPort, source, i), httpstatus::ok) << source << " " << i;
        EXPECT_EQ(postFrom(m_proxyPort, source, 9), httpstatus::tooManyRequests) << source;
    }
}

TEST_F(Deployment, theProxyTurnsAwayAFloodFromOneAddressAndTheClientsBehindItStillPlay)
{
    // Tickets faster than a game needs: past the burst nginx answers 429 itself.
    int refused = 0;
    for (int i = 0; i < 30; ++i)
        refused += request(m_proxyPort, paths::Ticket, "127.0.7.1").status == httpstatus::tooManyRequests ? 1 : 0;
    EXPECT_GT(refused, 0);
    EXPECT_FALSE(ticketId(request(m_proxyPort, paths::Ticket, "127.0.7.2")).empty());
}
