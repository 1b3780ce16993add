#include "store.h"

#include <gtest/gtest.h>

TEST(Store, bestOrdersByScoreThenNewestAndHonoursTheLimit)
{
    // Highest score first; among equal scores the later posting comes first; at most `limit` rows.
    Store store(":memory:");
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
    Store store(":memory:");
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
