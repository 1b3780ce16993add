#include "posting.h"
#include "unicodetext.h"

#include <gtest/gtest.h>

#include <string>

using posting::checkPosting;

namespace {

std::string refusal(std::string_view query)
{
    const PostingCheck check = checkPosting(query);
    EXPECT_FALSE(check.posting.has_value()) << query;
    return check.error;
}

} // namespace

TEST(PercentDecode, decodesEscapesAndKeepsARawPlus)
{
    // %XX becomes the byte; '+' is a literal plus, never a space; malformed escapes are refused.
    EXPECT_EQ(posting::percentDecode("a%20b"), "a b");
    EXPECT_EQ(posting::percentDecode("%26%23%2B%2b"), "&#++");
    EXPECT_EQ(posting::percentDecode("a+b"), "a+b");
    EXPECT_EQ(posting::percentDecode("7/4/13"), "7/4/13");
    EXPECT_EQ(posting::percentDecode("%C3%A9"), "\xC3\xA9");
    EXPECT_EQ(posting::percentDecode(""), "");
    EXPECT_FALSE(posting::percentDecode("%"));
    EXPECT_FALSE(posting::percentDecode("ab%4"));
    EXPECT_FALSE(posting::percentDecode("%zz"));
    EXPECT_FALSE(posting::percentDecode("%%41"));
}

TEST(PrintableLength, countsCodePointsAndRefusesBadUtf8AndControls)
{
    // Length is in code points; broken UTF-8 and control characters give nullopt.
    EXPECT_EQ(posting::printableLength("abc"), 3u);
    EXPECT_EQ(posting::printableLength("\xC3\xA9t\xC3\xA9"), 3u);          // été
    EXPECT_EQ(posting::printableLength("\xE2\x82\xAC"), 1u);              // euro sign
    EXPECT_EQ(posting::printableLength("\xF0\x9F\x98\x80"), 1u);          // emoji
    EXPECT_FALSE(posting::printableLength("\xC3"));                      // truncated
    EXPECT_FALSE(posting::printableLength("\xC0\xAF"));                  // overlong '/'
    EXPECT_FALSE(posting::printableLength("\xE0\x80\xAF"));              // overlong, three bytes
    EXPECT_FALSE(posting::printableLength("\xED\xA0\x80"));              // surrogate
    EXPECT_FALSE(posting::printableLength("\xF4\x90\x80\x80"));          // past U+10FFFF
    EXPECT_FALSE(posting::printableLength("\xFF"));
    EXPECT_FALSE(posting::printableLength("\x80"));                      // lone continuation
    EXPECT_FALSE(posting::printableLength(std::string("a\0b", 3)));
    EXPECT_FALSE(posting::printableLength("a\nb"));
    EXPECT_FALSE(posting::printableLength("a\tb"));
    EXPECT_FALSE(posting::printableLength("\x7F"));
    EXPECT_FALSE(posting::printableLength("\xC2\x85"));                  // C1 next line
}

TEST(ParseScore, acceptsPlainDigitsInRangeOnly)
{
    // 0..100000 written with digits only.
    EXPECT_EQ(posting::parseScore("0"), 0);
    EXPECT_EQ(posting::parseScore("100000"), 100000);
    EXPECT_EQ(posting::parseScore("00042"), 42);
    EXPECT_FALSE(posting::parseScore(""));
    EXPECT_FALSE(posting::parseScore("100001"));
    EXPECT_FALSE(posting::parseScore("99999999999999999999999999"));
    EXPECT_FALSE(posting::parseScore("-1"));
    EXPECT_FALSE(posting::parseScore("+1"));
    EXPECT_FALSE(posting::parseScore(" 1"));
    EXPECT_FALSE(posting::parseScore("1 "));
    EXPECT_FALSE(posting::parseScore("1.5"));
    EXPECT_FALSE(posting::parseScore("1e3"));
    EXPECT_FALSE(posting::parseScore("0x10"));
    EXPECT_FALSE(posting::parseScore("abc"));
}

TEST(CheckPosting, acceptsWhatTheGameSends)
{
    // A well-formed posting decodes every field; the date's '/' may arrive raw.
    const PostingCheck check = checkPosting("name=Ann%20%26%20Bob%20%23%2B1%20%C3%A9&date=7/4/13&score=1234");
    ASSERT_TRUE(check.posting) << check.error;
    EXPECT_EQ(check.posting->name, "Ann & Bob #+1 \xC3\xA9");
    EXPECT_EQ(check.posting->date, "7/4/13");
    EXPECT_EQ(check.posting->score, 1234);

    const PostingCheck reordered = checkPosting("score=0&date=&name=x");
    ASSERT_TRUE(reordered.posting) << reordered.error;
    EXPECT_EQ(reordered.posting->date, "");
    EXPECT_EQ(reordered.posting->score, 0);

    const PostingCheck plus = checkPosting("name=a+b&date=d&score=1");
    ASSERT_TRUE(plus.posting);
    EXPECT_EQ(plus.posting->name, "a+b");
}

TEST(CheckPosting, refusesMissingRepeatedAndUnknownFields)
{
    // Each of name, date and score exactly once; nothing else.
    EXPECT_NE(refusal("date=d&score=1").find("name is missing"), std::string::npos);
    EXPECT_NE(refusal("name=a&score=1").find("date is missing"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=d").find("score is missing"), std::string::npos);
    EXPECT_NE(refusal("").find("missing"), std::string::npos);
    EXPECT_NE(refusal("name=a&name=b&date=d&score=1").find("more than once"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=d&score=1&score=2").find("more than once"), std::string::npos);
    EXPECT_NE(refusal("na%6De=a&name=b&date=d&score=1").find("more than once"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=d&score=1&admin=1").find("unexpected"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=d&score=1&%ZZ=1").find("malformed"), std::string::npos);
    EXPECT_NE(refusal("name=a%2&date=d&score=1").find("malformed"), std::string::npos);
}

TEST(CheckPosting, refusesBadValues)
{
    // Name 1..64 code points of printable UTF-8, date up to 16, score 0..100000 digits only.
    EXPECT_NE(refusal("name=&date=d&score=1").find("1 to 64"), std::string::npos);
    EXPECT_NE(refusal("name&date=d&score=1").find("1 to 64"), std::string::npos);
    EXPECT_NE(refusal("name=" + std::string(65, 'a') + "&date=d&score=1").find("1 to 64"), std::string::npos);
    EXPECT_NE(refusal("name=" + std::string(10240, 'a') + "&date=d&score=1").find("1 to 64"), std::string::npos);
    std::string sixtyFourAccents;
    for (int i = 0; i < 64; ++i)
        sixtyFourAccents += "%C3%A9";
    EXPECT_TRUE(checkPosting("name=" + sixtyFourAccents + "&date=d&score=1").posting);
    EXPECT_NE(refusal("name=" + sixtyFourAccents + "e&date=d&score=1").find("1 to 64"), std::string::npos);

    EXPECT_NE(refusal("name=a%0Ab&date=d&score=1").find("control"), std::string::npos);
    EXPECT_NE(refusal("name=a%00b&date=d&score=1").find("control"), std::string::npos);
    EXPECT_NE(refusal("name=%1B%5B31m&date=d&score=1").find("control"), std::string::npos);
    EXPECT_NE(refusal("name=%FF%FE&date=d&score=1").find("UTF-8"), std::string::npos);
    EXPECT_NE(refusal("name=%C0%BC&date=d&score=1").find("UTF-8"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=%0D%0A&score=1").find("date"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=" + std::string(17, '1') + "&score=1").find("16"), std::string::npos);
    EXPECT_TRUE(checkPosting("name=a&date=" + std::string(16, '1') + "&score=1").posting);

    for (const char *score : {"", "-5", "%2B5", "+5", "%205", "5%20", "1.0", "100001", "12345678901234567890", "ten"})
        EXPECT_NE(refusal(std::string("name=a&date=d&score=") + score).find("score"), std::string::npos) << score;
}

TEST(CheckPosting, passesInjectionAttemptsThroughAsPlainText)
{
    // Hostile text is only data: it is accepted or refused by the same rules as any name.
    const PostingCheck sql = checkPosting("name=x%27)%3B%20DROP%20TABLE%20postings%3B--&date=d&score=1");
    ASSERT_TRUE(sql.posting);
    EXPECT_EQ(sql.posting->name, "x'); DROP TABLE postings;--");

    const PostingCheck html = checkPosting("name=%3Cscript%3Ealert(1)%3C%2Fscript%3E&date=%3Cb%3E&score=1");
    ASSERT_TRUE(html.posting);
    EXPECT_EQ(html.posting->name, "<script>alert(1)</script>");
    EXPECT_EQ(html.posting->date, "<b>");

    // A score smuggling SQL is still just a bad number.
    EXPECT_FALSE(checkPosting("name=a&date=d&score=1%3B%20DELETE%20FROM%20postings").posting);
}

TEST(NameProblem, refusesBlankInvisibleAndDirectionChangingNames)
{
    // A name must show at least one character and read in the order it was typed.
    EXPECT_NE(posting::nameProblem("").find("empty"), std::string::npos);
    EXPECT_NE(posting::nameProblem(" ").find("empty"), std::string::npos);
    EXPECT_NE(posting::nameProblem("   ").find("empty"), std::string::npos);
    EXPECT_NE(posting::nameProblem("\xC2\xA0").find("empty"), std::string::npos);         // no-break space
    EXPECT_NE(posting::nameProblem("\xE3\x80\x80 \xE2\x80\x83").find("empty"), std::string::npos); // ideographic, em

    EXPECT_NE(posting::nameProblem("\xE2\x80\x8B").find("invisible"), std::string::npos);  // U+200B
    EXPECT_NE(posting::nameProblem(" \xE2\x80\x8B\xE2\x80\x8B ").find("invisible"), std::string::npos);
    EXPECT_NE(posting::nameProblem("\xE2\x81\xA0").find("invisible"), std::string::npos);  // word joiner
    EXPECT_NE(posting::nameProblem("\xEF\xBB\xBF").find("invisible"), std::string::npos);  // BOM
    EXPECT_NE(posting::nameProblem("\xE3\x85\xA4").find("invisible"), std::string::npos);  // Hangul filler
    EXPECT_NE(posting::nameProblem("\xE2\xA0\x80").find("invisible"), std::string::npos);  // braille blank
    EXPECT_NE(posting::nameProblem("\xC2\xAD").find("invisible"), std::string::npos);      // soft hyphen
    EXPECT_NE(posting::nameProblem("\xF3\xA0\x80\x81").find("invisible"), std::string::npos); // tag character

    for (const char *bidi : {"\xE2\x80\xAE", "\xE2\x80\xAA", "\xE2\x80\xAB", "\xE2\x80\xAC", "\xE2\x80\xAD",
                             "\xE2\x80\x8E", "\xE2\x80\x8F", "\xE2\x81\xA6", "\xE2\x81\xA7", "\xE2\x81\xA8",
                             "\xE2\x81\xA9", "\xD8\x9C"}) {
        EXPECT_NE(posting::nameProblem(std::string("Ann") + bidi + "Lee").find("direction"), std::string::npos)
            << static_cast<int>(static_cast<unsigned char>(bidi[2]));
    }
    EXPECT_NE(posting::nameProblem("\xE2\x80\xAE" "cba").find("U+202E"), std::string::npos);

    EXPECT_NE(posting::nameProblem("\xFF").find("UTF-8"), std::string::npos);
    EXPECT_NE(posting::nameProblem("a\tb").find("control"), std::string::npos);
    EXPECT_NE(posting::nameProblem(std::string(65, 'a')).find("1 to 64"), std::string::npos);
}

TEST(NameProblem, acceptsVisibleNamesWhateverTheirScript)
{
    // Letters of any script, emoji sequences joined by U+200D and a space inside are all names.
    EXPECT_EQ(posting::nameProblem("Ann Lee"), "");
    EXPECT_EQ(posting::nameProblem("\xC3\xA9t\xC3\xA9"), "");
    EXPECT_EQ(posting::nameProblem("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"), "");         // Hebrew, right to left by itself
    EXPECT_EQ(posting::nameProblem("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9"), ""); // man ZWJ woman
    EXPECT_EQ(posting::nameProblem("a\xE2\x80\x8B"), "");                             // shows an a
    EXPECT_EQ(posting::nameProblem(" " + std::string(64, 'a') + " "), "");            // 64 once trimmed
}

TEST(CheckPosting, trimsSpacesAtTheEndsOfTheNameAndRefusesItsHiddenForms)
{
    // The stored name is the one typed without the spaces around it; the refusals of nameProblem
    // and direction changes in the date give a refusal, not a posting.
    const PostingCheck trimmed = checkPosting("name=%20%C2%A0Ann%20Lee%20&date=7/4/13&score=5");
    ASSERT_TRUE(trimmed.posting) << trimmed.error;
    EXPECT_EQ(trimmed.posting->name, "Ann Lee");

    EXPECT_NE(refusal("name=%20&date=d&score=1").find("empty"), std::string::npos);
    EXPECT_NE(refusal("name=%E2%80%8B&date=d&score=1").find("invisible"), std::string::npos);
    EXPECT_NE(refusal("name=abc%E2%80%AE&date=d&score=1").find("direction"), std::string::npos);
    EXPECT_NE(refusal("name=a&date=%E2%80%AE31/4/7&score=1").find("direction"), std::string::npos);
}

TEST(UnicodeText, trimsOnlyWhiteSpaceAtTheEnds)
{
    // Trimming removes White_Space at both ends and keeps everything between, invisible or not.
    EXPECT_EQ(unicodetext::trimSpaces("  a b  "), "a b");
    EXPECT_EQ(unicodetext::trimSpaces("\xE3\x80\x80" "a\xC2\xA0"), "a");
    EXPECT_EQ(unicodetext::trimSpaces("\xE2\x80\x8B" "a"), "\xE2\x80\x8B" "a");
    EXPECT_EQ(unicodetext::trimSpaces("   "), "");
    EXPECT_EQ(unicodetext::trimSpaces(""), "");
    EXPECT_EQ(unicodetext::decode("\xE2\x82\xAC" "a"), std::u32string(U"\u20ACa"));
    EXPECT_FALSE(unicodetext::decode("\xED\xA0\x80"));
}
