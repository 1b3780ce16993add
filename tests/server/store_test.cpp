#include "firstschema.h"
#include "sqlitestore.h"
#include "store.h"
#include "testdatabase.h"
#include "storeerror.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

TEST(Store, bestOrdersByScoreThenNewestAndHonoursTheLimit)
{
    // Highest score first; among equal scores the later posting comes first; at most `limit` rows.
    const TestDatabase database;
    const auto opened = database.open();
    Store &store = *opened;
    store.add({"first500", "d", 500});
    store.add({"first700", "d", 700});
    store.add({"second500", "d", 500});
    store.add({"second700", "d", 700});
    store.add({"zero", "d", 0});
    EXPECT_EQ(store.count(), 5);

    const auto rows = store.best(100);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].name, "second700");
    EXPECT_EQ(rows[1].name, "first700");
    EXPECT_EQ(rows[2].name, "second500");
    EXPECT_EQ(rows[3].name, "first500");
    EXPECT_EQ(rows[4].name, "zero");

    const auto top2 = store.best(2);
    ASSERT_EQ(top2.size(), 2u);
    EXPECT_EQ(top2[1].name, "first700");
}

TEST(Store, keepsHostileTextVerbatim)
{
    // Values are bound, never spliced into SQL: quotes and statements come back as stored text.
    const TestDatabase database;
    const auto opened = database.open();
    Store &store = *opened;
    const std::string hostile = "x'); DROP TABLE postings;--";
    store.add({hostile, "'; DELETE FROM postings; --", 1});
    store.add({"\xE2\x82\xAC \"quoted\"", "7/4/13", 2});
    EXPECT_EQ(store.count(), 2);
    const auto rows = store.best(10);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].name, hostile);
    EXPECT_EQ(rows[1].date, "'; DELETE FROM postings; --");
    EXPECT_EQ(rows[0].name, "\xE2\x82\xAC \"quoted\"");
}

TEST(Store, aRepeatedTicketIsAnErrorAndTheStoreGoesOn)
{
    // The failed statement leaves no transaction open behind it: on one connection, what comes
    // next is stored, and the first ticket is as it was.
    const TestDatabase database;
    const auto opened = database.open(1);
    Store &store = *opened;
    store.addTicket({"repeatedTicket0001", "00000000", "", 1, false});
    EXPECT_THROW(store.addTicket({"repeatedTicket0001", "11111111", "", 2, false}), StoreError);
    store.addTicket({"repeatedTicket0002", "22222222", "", 3, false});
    EXPECT_EQ(store.ticket("repeatedTicket0001")->code, "00000000");
    EXPECT_TRUE(store.addVerified({"after", "d", 4}, "repeatedTicket0002"));
    store.add({"later", "d", 5});
    EXPECT_EQ(store.count(), 2);
}

namespace {

// A fresh folder for database files, removed however the test leaves.
struct Folder {
    Folder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvlesolo-store-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

const std::vector<FirstSchemaRow> firstReleaseRows = {
    {"Ann Lee", "7/4/13", 57, "2013-07-04 10:00:00"},
    {"deleted", "7/4/13", 1, "2013-07-04 10:01:00"},
    {"x'); DROP TABLE postings;--", "<b>", 4321, "2013-07-05 11:00:00"},
    {"\xC3\xA9t\xC3\xA9", "12/25/13", 57, "2013-12-25 12:00:00"},
    {"zero", "3/5/14", 0, "2014-03-05 13:00:00"},
};

} // namespace

TEST(StoreMigration, aFirstReleaseDatabaseKeepsEveryRowAndGainsAnUnverifiedFlag)
{
    // Opening a database of the first release adds the verified flag in place: every row keeps its
    // id, name, date, score and time, all are unverified, and the list ranks them as before.
    const Folder folder;
    const auto path = folder.path / "scores.db";
    writeFirstSchemaDatabase(path, firstReleaseRows);
    const std::vector<RawRow> before = readRows(path);
    ASSERT_EQ(before.size(), 4u);
    ASSERT_EQ(before[0].verified, -1);
    ASSERT_EQ(readUserVersion(path), 0);

    {
        SqliteStore store(path.string());
        EXPECT_EQ(store.count(), 4);
        const auto best = store.best(10);
        ASSERT_EQ(best.size(), 4u);
        EXPECT_EQ(best[0].name, "x'); DROP TABLE postings;--");
        EXPECT_EQ(best[1].name, "\xC3\xA9t\xC3\xA9"); // equal scores, newer first
        EXPECT_EQ(best[2].name, "Ann Lee");
        EXPECT_EQ(best[3].name, "zero");
        for (const auto &row : best)
            EXPECT_FALSE(row.verified) << row.name;
        EXPECT_EQ(store.best(Ranking::Unverified, 10).size(), 4u);
        EXPECT_TRUE(store.best(Ranking::Verified, 10).empty());
        store.add({"new", "1/1/25", 99});
        // The migrated file takes tickets and verified postings too.
        store.addTicket({"migratedTicket0001", "00000000", "2025-01-01", 1, false});
        EXPECT_TRUE(store.addVerified({"checked", "1/1/25", 0}, "migratedTicket0001"));
        EXPECT_EQ(store.bestOfDay("2025-01-01", 10).size(), 1u);
        EXPECT_EQ(store.count(), 6);
    }

    const std::vector<RawRow> after = readRows(path);
    ASSERT_EQ(after.size(), 6u);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].id, before[i].id);
        EXPECT_EQ(after[i].name, before[i].name);
        EXPECT_EQ(after[i].date, before[i].date);
        EXPECT_EQ(after[i].score, before[i].score);
        EXPECT_EQ(after[i].postedAt, before[i].postedAt);
        EXPECT_EQ(after[i].verified, 0);
    }
    EXPECT_EQ(after[4].name, "new");
    EXPECT_GT(after[4].id, before.back().id);
    EXPECT_EQ(after[4].verified, 0);
    EXPECT_EQ(readUserVersion(path), Store::schemaVersion);

    EXPECT_EQ(after[5].verified, 1);

    // A second start finds nothing to do and loses nothing.
    SqliteStore again(path.string());
    EXPECT_EQ(again.count(), 6);
    EXPECT_TRUE(again.ticket("migratedTicket0001")->used);
}

TEST(StoreMigration, aDatabaseOfANewerSchemaIsRefusedUntouched)
{
    // A service must not write into a schema it does not know: it refuses to open it.
    const Folder folder;
    const auto path = folder.path / "scores.db";
    writeFirstSchemaDatabase(path, firstReleaseRows);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    EXPECT_THROW(SqliteStore store(path.string()), StoreError);
    EXPECT_EQ(readUserVersion(path), 99);
    EXPECT_EQ(readRows(path).size(), 4u);
    EXPECT_EQ(readRows(path)[0].verified, -1);
}

TEST(StoreRequestCounts, instancesSharingOneDatabaseShareTheCounts)
{
    // Two stores on one database stand for two instances of the service: together they admit the limit.
    const TestDatabase database;
    const auto first = database.open();
    const auto second = database.open();
    int counted = 0;
    for (int i = 0; i < 10; ++i) {
        counted += first->countRequest("posting", "9.9.9.9", 7, 5) ? 1 : 0;
        counted += second->countRequest("posting", "9.9.9.9", 7, 5) ? 1 : 0;
    }
    EXPECT_EQ(counted, 5);
}

TEST(StoreListVersion, changesWithEveryPostingSeenFromAnyInstance)
{
    // The list page is kept while the version stands still, so every stored posting, of either
    // kind and by either instance, must move it; a ticket or a refused posting must not.
    const TestDatabase database;
    const auto firstStore = database.open();
    const auto secondStore = database.open();
    Store &first = *firstStore;
    Store &second = *secondStore;
    const std::int64_t empty = second.listVersion();
    EXPECT_EQ(first.listVersion(), empty);

    first.add({"a", "d", 1});
    const std::int64_t afterOne = second.listVersion();
    EXPECT_NE(afterOne, empty);

    first.addTicket({"versionTicket00001", "00000000", "", 1, false});
    EXPECT_EQ(second.listVersion(), afterOne);
    ASSERT_TRUE(second.addVerified({"b", "d", 2}, "versionTicket00001"));
    const std::int64_t afterTwo = first.listVersion();
    EXPECT_NE(afterTwo, afterOne);

    EXPECT_FALSE(first.addVerified({"c", "d", 3}, "versionTicket00001"));
    EXPECT_EQ(second.listVersion(), afterTwo);
}

TEST(OpenStore, aConnectionUriMeansPostgresqlAndAnythingElseAFile)
{
    // Only the URI prefixes libpq knows pick PostgreSQL; a file whose name merely mentions it stays SQLite.
    EXPECT_TRUE(isPostgresUri("postgresql://tarvle@db.example.org:5432/tarvlesolo"));
    EXPECT_TRUE(isPostgresUri("postgres:///tarvlesolo?host=/run/postgresql"));
    EXPECT_FALSE(isPostgresUri("scores.db"));
    EXPECT_FALSE(isPostgresUri("postgresql.db"));
    EXPECT_FALSE(isPostgresUri("./postgresql://x"));
    EXPECT_FALSE(isPostgresUri("host=localhost dbname=tarvlesolo"));

    const Folder folder;
    const auto path = folder.path / "postgresql.db";
    openStore(path.string())->add({"a", "d", 1});
    EXPECT_EQ(readRows(path).size(), 1u);
}
