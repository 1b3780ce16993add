#include "boardcode.h"

#include <gtest/gtest.h>

#include <string>

using rules::readBoardCode;
using rules::Seed;

// Every seed is written as 8 characters that read back as that seed, the
// most significant bits first.
TEST(BoardCode, roundTripsEverySeedWidth)
{
    EXPECT_EQ(rules::boardCode(0), "00000000");
    EXPECT_EQ(rules::boardCode(1), "00000001");
    EXPECT_EQ(rules::boardCode(31), "0000000Z");
    EXPECT_EQ(rules::boardCode(32), "00000010");
    EXPECT_EQ(rules::boardCode(rules::SeedMask), "ZZZZZZZZ");
    EXPECT_EQ(rules::boardCode(Seed(1) << 39), "G0000000");
    // A walk over seeds of every size, with bits in every position.
    for (Seed seed = 1; seed <= rules::SeedMask; seed = seed * 3 + 7) {
        const std::string code = rules::boardCode(seed);
        ASSERT_EQ(code.size(), rules::BoardCodeLength);
        const auto reading = readBoardCode(code);
        ASSERT_TRUE(reading.seed) << code << ": " << reading.error;
        EXPECT_EQ(*reading.seed, seed) << code;
        EXPECT_TRUE(reading.error.empty());
    }
}

// Codes are written with the 32 characters and never with I, L, O or U.
TEST(BoardCode, writesOnlyTheCodeAlphabet)
{
    std::string seen;
    for (Seed digit = 0; digit < 32; ++digit)
        seen += rules::boardCode(digit).back();
    EXPECT_EQ(seen, "0123456789ABCDEFGHJKMNPQRSTVWXYZ");
}

// Bits above the 40 of a seed do not reach the code.
TEST(BoardCode, ignoresBitsAboveTheSeed)
{
    EXPECT_EQ(rules::boardCode((Seed(1) << 40) | 5), "00000005");
}

// Lower case reads as upper case, O as 0, and I and L as 1.
TEST(BoardCode, readsCaseAndLookalikes)
{
    EXPECT_EQ(readBoardCode("abcdefgh").seed, readBoardCode("ABCDEFGH").seed);
    EXPECT_EQ(readBoardCode("zzzzzzzz").seed, rules::SeedMask);
    EXPECT_EQ(readBoardCode("OOOOOOOO").seed, Seed(0));
    EXPECT_EQ(readBoardCode("oooooooo").seed, Seed(0));
    EXPECT_EQ(readBoardCode("0000000I").seed, Seed(1));
    EXPECT_EQ(readBoardCode("0000000i").seed, Seed(1));
    EXPECT_EQ(readBoardCode("0000000L").seed, Seed(1));
    EXPECT_EQ(readBoardCode("0000000l").seed, Seed(1));
    EXPECT_EQ(readBoardCode("IL0O1lio").seed, readBoardCode("11001110").seed);
}

// A character outside the alphabet is refused, named when it can be shown
// and by its place when it cannot.
TEST(BoardCode, refusesBadCharacters)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"ABCDEFGU", "'U' is not a board code character (a code uses 0-9 and A-Z, but not U)."},
        {"abcdefgu", "'u' is not a board code character (a code uses 0-9 and A-Z, but not U)."},
        {"ABCD-FGH", "'-' is not a board code character (a code uses 0-9 and A-Z, but not U)."},
        {"ABCD FGH", "Character 5 is not a board code character (a code uses 0-9 and A-Z, but not U)."},
        {std::string("ABC\0EFGH", 8), "Character 4 is not a board code character (a code uses 0-9 and A-Z, but not U)."},
        {"ABCDEFG\xE9", "Character 8 is not a board code character (a code uses 0-9 and A-Z, but not U)."},
        {"*BCDEFGH", "'*' is not a board code character (a code uses 0-9 and A-Z, but not U)."},
    };
    for (const auto &c : cases) {
        const auto reading = readBoardCode(c.text);
        EXPECT_FALSE(reading.seed) << c.text;
        EXPECT_EQ(reading.error, c.error) << c.text;
    }
}

// A code has exactly 8 characters: shorter, longer or empty is refused,
// and nothing around a code is skipped.
TEST(BoardCode, refusesTheWrongLength)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "A board code has 8 characters; this one has 0."},
        {"ABCDEFG", "A board code has 8 characters; this one has 7."},
        {"ABCDEFGHJ", "A board code has 8 characters; this one has 9."},
        {" ABCDEFGH", "A board code has 8 characters; this one has 9."},
        {"ABCD-EFGH", "A board code has 8 characters; this one has 9."},
    };
    for (const auto &c : cases) {
        const auto reading = readBoardCode(c.text);
        EXPECT_FALSE(reading.seed) << c.text;
        EXPECT_EQ(reading.error, c.error) << c.text;
    }
}
