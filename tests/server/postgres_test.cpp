#include "httpstatus.h"
#include "postgrescluster.h"
#include "postgresstore.h"
#include "servicepaths.h"
#include "storeerror.h"
#include "testdatabase.h"
#include "testserver.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <latch>
#include <memory>
#include <thread>
#include <vector>

// Where PostgreSQL can behave otherwise than SQLite: text through the wire, a server that drops
// sessions, instances creating the schema together, commits in another order than ids.

namespace {

namespace paths = rules::servicepaths;

class PostgresStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!testCluster())
            GTEST_SKIP() << "PostgreSQL only: run by service_test_postgresql (TARVLE_TEST_STORE=postgresql)";
        m_database = std::make_unique<TestDatabase>(StoreKind::Postgres);
    }
    const TestDatabase &database() const { return *m_database; }
    // The first value of a query run straight on the test's database.
    std::string value(const std::string &sql) const
    {
        return testCluster()->queryValue(m_database->name(), sql);
    }

private:
    std::unique_ptr<TestDatabase> m_database;
};

// A session of the test's own, held open across statements.
class Session {
public:
    explicit Session(const std::string &uri)
        : m_connection(PQconnectdb(uri.c_str()))
    {
        if (PQstatus(m_connection) != CONNECTION_OK)
            throw std::runtime_error(PQerrorMessage(m_connection));
    }
    ~Session() { PQfinish(m_connection); }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    void run(const char *sql)
    {
        PGresult *result = PQexec(m_connection, sql);
        const ExecStatusType status = PQresultStatus(result);
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw std::runtime_error(std::string(sql) + ": " + message);
    }

private:
    PGconn *m_connection;
};

} // namespace

TEST_F(PostgresStoreTest, hostileTextIsBoundVerbatim)
{
    // Quotes, backslashes, dollar quotes and parameter markers are data: each comes back as sent,
    // and the tables are still there.
    const auto store = database().open();
    const std::vector<std::string> hostile = {
        "x'); DROP TABLE postings;--", "\\'; DELETE FROM tickets; --", "$1 $$ $tag$ E'\\x41'", "%s %n ?1 :name",
        "\xE2\x82\xAC \"quoted\" \xF0\x9F\x98\x80", std::string(2000, '\''),
    };
    for (std::size_t i = 0; i < hostile.size(); ++i)
        store->add({hostile[i], hostile[hostile.size() - 1 - i], static_cast<int>(i)});
    const auto rows = store->best(100);
    ASSERT_EQ(rows.size(), hostile.size());
    for (const StoredPosting &row : rows) {
        EXPECT_EQ(row.name, hostile[static_cast<std::size_t>(row.score)]);
        EXPECT_EQ(row.date, hostile[hostile.size() - 1 - static_cast<std::size_t>(row.score)]);
    }
    store->addTicket({"hostileTicket0001", "00000000", "2025-01-01' OR '1'='1", 1, false});
    EXPECT_EQ(store->ticket("hostileTicket0001")->day, "2025-01-01' OR '1'='1");
    EXPECT_FALSE(store->ticket("' OR '1'='1"));
    EXPECT_TRUE(store->bestOfDay("' OR '1'='1", 10).empty());
    EXPECT_TRUE(store->countRequest("posting", "'; DROP TABLE request_counts; --", 1, 1));
    EXPECT_EQ(store->count(), static_cast<std::int64_t>(hostile.size()));
}

TEST_F(PostgresStoreTest, postingsStoredTogetherComeBackVerbatimEachOnce)
{
    // Postings arriving at once share a statement, their texts packed into array parameters:
    // what could end an element or the array, or read as a null, stays text.
    const auto store = database().open();
    const std::vector<std::string> texts = {
        "", " ", "NULL", "null", "{}", "{", "}", ",", "a,b", "\"", "\\", "\\\"", "\"\\", "{\"x\",\"y\"}",
        "{1,2}", "a\tb", " lead", "trail ", "\xE2\x82\xAC{\xF0\x9F\x98\x80}", std::string(300, '"'), std::string(300, '\\'),
    };
    constexpr int threads = 8;
    std::latch start(threads);
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t) {
        posters.emplace_back([&, t] {
            start.arrive_and_wait();
            for (std::size_t i = 0; i < texts.size(); ++i) {
                try {
                    store->add({texts[i], texts[texts.size() - 1 - i], t * 1000 + static_cast<int>(i)});
                } catch (const StoreError &e) {
                    ADD_FAILURE() << e.what();
                }
            }
        });
    }
    for (auto &poster : posters)
        poster.join();

    const auto rows = store->best(1000);
    ASSERT_EQ(rows.size(), threads * texts.size());
    std::vector<int> scores;
    for (const StoredPosting &row : rows) {
        const auto i = static_cast<std::size_t>(row.score % 1000);
        ASSERT_LT(i, texts.size());
        EXPECT_EQ(row.name, texts[i]);
        EXPECT_EQ(row.date, texts[texts.size() - 1 - i]);
        scores.push_back(row.score);
    }
    std::sort(scores.begin(), scores.end());
    EXPECT_EQ(std::unique(scores.begin(), scores.end()), scores.end()) << "a posting stored twice";
    // Rows written by one transaction share its id (xmin): fewer transactions than rows.
    EXPECT_LT(std::stoul(value("SELECT COUNT(DISTINCT xmin::text) FROM postings")), rows.size());
}

TEST_F(PostgresStoreTest, aDatabaseOfANewerSchemaIsRefusedUntouched)
{
    // A service must not write into a schema it does not know: opening fails, nothing changes.
    database().open()->add({"kept", "d", 1});
    database().execute("UPDATE schema_version SET version = 99");

    try {
        database().open();
        FAIL() << "a newer schema was opened";
    } catch (const StoreError &e) {
        EXPECT_NE(std::string(e.what()).find("newer"), std::string::npos) << e.what();
    }
    EXPECT_EQ(value("SELECT version FROM schema_version"), "99");
    EXPECT_EQ(value("SELECT COUNT(*) FROM schema_version"), "1");
    EXPECT_EQ(value("SELECT string_agg(name, ',') FROM postings"), "kept");
}

TEST_F(PostgresStoreTest, storesStartingTogetherOnAnEmptyDatabaseMakeTheSchemaOnce)
{
    // Instances started at the same moment on a new database all open it; the tables exist once.
    constexpr int instances = 6;
    std::vector<std::unique_ptr<Store>> stores(instances);
    std::vector<std::string> failures(instances);
    std::latch start(instances);
    std::vector<std::thread> starters;
    for (int i = 0; i < instances; ++i) {
        starters.emplace_back([&, i] {
            start.arrive_and_wait();
            try {
                stores[i] = database().open();
            } catch (const std::exception &e) {
                failures[i] = e.what();
            }
        });
    }
    for (auto &starter : starters)
        starter.join();
    for (int i = 0; i < instances; ++i) {
        ASSERT_TRUE(stores[i]) << failures[i];
        stores[i]->add({"instance" + std::to_string(i), "d", i});
    }
    EXPECT_EQ(value("SELECT COUNT(*) FROM schema_version"), "1");
    EXPECT_EQ(value("SELECT version FROM schema_version"), std::to_string(Store::schemaVersion));
    EXPECT_EQ(stores[0]->count(), instances);
}

TEST_F(PostgresStoreTest, sessionsEndedByTheServerAreReplacedWithoutFailingARequest)
{
    // An administrator (or a restarted server) ends every session of the pool: the next requests
    // reconnect and succeed, none answers 500, and what they store is there once.
    TestServer::Setup setup;
    setup.config.postingLimit = 0;
    setup.config.ticketLimit = 0;
    setup.sharedDatabase = &database();
    TestServer server(setup);
    constexpr int threads = 4;
    const auto burst = [&server](int round) {
        std::atomic<int> ok{0};
        std::vector<std::thread> clients;
        for (int t = 0; t < threads; ++t) {
            clients.emplace_back([&, t] {
                auto client = server.client();
                const std::string name = "r" + std::to_string(round) + "t" + std::to_string(t);
                for (const std::string &target :
                     {std::string(paths::Posting) + "?name=" + name + "&date=d&score=1", std::string(paths::Scores),
                      std::string(paths::Ticket)}) {
                    const auto answer = client->Get(target);
                    ok += answer && answer->status == httpstatus::ok ? 1 : 0;
                }
            });
        }
        for (auto &client : clients)
            client.join();
        return ok.load();
    };
    ASSERT_EQ(burst(0), 3 * threads);
    // Materialised first, so the test's own session is never among those ended.
    const std::string ended = value("WITH pool AS MATERIALIZED (SELECT pid FROM pg_stat_activity"
                                    " WHERE datname = current_database() AND pid <> pg_backend_pid())"
                                    " SELECT COUNT(*) FROM pool WHERE pg_terminate_backend(pid, 5000)");
    EXPECT_GE(std::stoi(ended), 1);

    EXPECT_EQ(burst(1), 3 * threads);
    EXPECT_EQ(burst(2), 3 * threads);
    EXPECT_EQ(server.store().count(), 3 * threads);
}

TEST_F(PostgresStoreTest, whileTheServerIsDownRequestsAnswer500AndThenRecover)
{
    // Store failures become a plain 500 and the service stays up; once the database is back the
    // pool reconnects and the same requests succeed.
    TestServer::Setup setup;
    setup.sharedDatabase = &database();
    TestServer server(setup);
    auto client = server.client();
    const std::string posting = std::string(paths::Posting) + "?name=Ann&date=d&score=5";
    ASSERT_EQ(client->Get(posting)->status, httpstatus::ok);

    testCluster()->stop();
    for (const std::string &target : {posting, std::string(paths::Scores), std::string(paths::Ticket)}) {
        const auto answer = client->Get(target);
        ASSERT_TRUE(answer) << target;
        EXPECT_EQ(answer->status, httpstatus::internalError) << target;
        EXPECT_EQ(answer->body, "Internal server error");
    }
    EXPECT_EQ(client->Get(paths::Home)->status, httpstatus::ok);

    testCluster()->start();
    EXPECT_EQ(client->Get(posting)->status, httpstatus::ok);
    const auto list = client->Get(paths::Scores);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->status, httpstatus::ok);
    EXPECT_EQ(server.store().count(), 2);
}

TEST_F(PostgresStoreTest, anUnreachableOrMissingDatabaseIsAStoreError)
{
    // Start-up fails with the reason, never a crash or a hang.
    const std::string uri = database().location();
    const std::string base = uri.substr(0, uri.rfind('/'));
    EXPECT_THROW(openStore(base + "/no_such_database"), StoreError);
    EXPECT_THROW(openStore("postgresql://tarvle@127.0.0.1:1/x?connect_timeout=2"), StoreError);
    EXPECT_THROW(openStore("postgresql://[broken"), StoreError);
}

TEST_F(PostgresStoreTest, oneConnectionServesManyThreadsInTurn)
{
    // Threads wait for the pool's connection rather than share it: the counts come out exact.
    const auto store = database().open(1);
    std::atomic<int> counted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 25; ++i)
                counted += store->countRequest("posting", "10.0.0.1", 5, 120) ? 1 : 0;
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(counted.load(), 120);
}

TEST_F(PostgresStoreTest, aPostingThatCommitsAfterANewerOneStillMovesTheListVersion)
{
    // Ids are taken in one order and committed in another: "slow" takes its id first and is held
    // before its commit while "fast" commits. A reader between the two sees fast only; once slow
    // commits the version must move, although the newest id does not.
    const auto slowStore = database().open();
    const auto fastStore = database().open();
    database().execute("CREATE FUNCTION hold() RETURNS trigger LANGUAGE plpgsql AS"
                       " $$ BEGIN PERFORM pg_advisory_lock_shared(42); PERFORM pg_advisory_unlock_shared(42); RETURN NEW; END $$");
    database().execute("CREATE TRIGGER hold AFTER INSERT ON postings FOR EACH ROW WHEN (NEW.name = 'slow') EXECUTE FUNCTION hold()");
    Session holder(database().location());
    holder.run("SELECT pg_advisory_lock(42)");

    std::thread slow([&] { slowStore->add({"slow", "d", 2}); });
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (value("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND NOT granted") != "1") {
        if (std::chrono::steady_clock::now() > giveUp) {
            holder.run("SELECT pg_advisory_unlock(42)");
            slow.join();
            FAIL() << "the slow posting never waited";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fastStore->add({"fast", "d", 1});
    const std::int64_t between = fastStore->listVersion();
    const auto seen = fastStore->best(10);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, "fast");

    holder.run("SELECT pg_advisory_unlock(42)");
    slow.join();
    const auto after = fastStore->best(10);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].name, "slow");
    EXPECT_LT(after[0].id, after[1].id); // the newest id is still fast's
    EXPECT_NE(fastStore->listVersion(), between);
    EXPECT_EQ(slowStore->listVersion(), fastStore->listVersion());
}
