#include "recordsearch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace {

// One record as stored: the mark, then the field padded to 14 bytes.
std::string record(const std::string &field, char mark = '\x1e')
{
    std::string bytes(1, mark);
    bytes += field;
    bytes.append(15 - bytes.size(), ' ');
    return bytes;
}

std::string records(std::initializer_list<const char *> fields)
{
    std::string bytes;
    for (const char *field : fields)
        bytes += record(field);
    return bytes;
}

const std::string list = records({"AA", "BE", "CAT", "DOG", "ZYMURGY"});

} // namespace

// A key is trimmed of spaces (NUL counts as one), padded to 15, a..z
// upper-cased, and never cut.
TEST(RecordKey, normalisesLikeTheStoredFields)
{
    EXPECT_EQ(rules::normalizeKey("cat"), "CAT            ");
    EXPECT_EQ(rules::normalizeKey("  cat  "), "CAT            ");
    EXPECT_EQ(rules::normalizeKey(std::string("\0cat\0", 5)), "CAT            ");
    EXPECT_EQ(rules::normalizeKey(std::string("c\0t", 3)), "C T            ");
    EXPECT_EQ(rules::normalizeKey("\tcat"), "\tCAT           ");
    EXPECT_EQ(rules::normalizeKey("a1-z\xc3\xa9"), "A1-Z\xc3\xa9         ");
    EXPECT_EQ(rules::normalizeKey(""), std::string(15, ' '));
    EXPECT_EQ(rules::normalizeKey(" abcdefghijklmnopq "), "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(rules::recordKey(record("CAT")), "CAT            ");
}

// The first and the last record are found at their positions, whatever the key's case.
TEST(RecordSearch, findsTheFirstAndTheLastRecord)
{
    EXPECT_EQ(rules::findRecord(list, "aa"), 0);
    EXPECT_EQ(rules::findRecord(list, "AA"), 0);
    EXPECT_EQ(rules::findRecord(list, "cat"), 2);
    EXPECT_EQ(rules::findRecord(list, " zymurgy "), 4);
}

// Keys sorting before, between and after the records are not there.
TEST(RecordSearch, missesWordsThatAreNotInTheList)
{
    for (const char *key : {"a", "aaa", "bee", "ca", "cats", "zz", "zymurgyzymurgyz"})
        EXPECT_EQ(rules::findRecord(list, key), -1) << key;
    EXPECT_EQ(rules::findRecord("", "cat"), -1);
}

// A field repeated in a row answers with the first of the run.
TEST(RecordSearch, answersTheFirstOfARunOfEqualFields)
{
    const std::string field = "ABCDEFGHIJKLMN";
    const std::string run = record(field, '1') + record(field, '2') + record(field, '3') + record(field, '4');
    EXPECT_EQ(rules::findRecord(run, "abcdefghijklmn"), 0);
    EXPECT_EQ(rules::findRecord(records({"AA", "AB", "AC"}) + run + records({"ZZ"}), "abcdefghijklmn"), 3);
    EXPECT_EQ(rules::findRecord(records({"AA"}) + run, "abcdefghijklmn"), 1);

    // The reader is left on the record found.
    const std::string bytes = records({"AA", "AB", "AC"}) + run;
    std::string lastRead;
    const std::int32_t found = rules::findRecord(rules::lastRecordPosition(std::int64_t(bytes.size())), "ABCDEFGHIJKLMN",
                                                 [&](std::int32_t position) -> std::optional<std::string_view> {
                                                     lastRead = bytes.substr(std::size_t(position) * 15, 15);
                                                     return lastRead;
                                                 });
    EXPECT_EQ(found, 3);
    EXPECT_EQ(lastRead, record(field, '1'));
}

// Bytes after the last whole record are not a record, even when they spell a word.
TEST(RecordSearch, ignoresATrailingPartialRecord)
{
    const std::string bytes = list + "\x1eZZ";
    EXPECT_EQ(rules::lastRecordPosition(std::int64_t(bytes.size())), 4);
    EXPECT_EQ(rules::findRecord(bytes, "zz"), -1);
    EXPECT_EQ(rules::findRecord(bytes, "zymurgy"), 4);
    EXPECT_EQ(rules::findRecord(list.substr(0, 14), "aa"), -1);
    EXPECT_EQ(rules::lastRecordPosition(14), -1);
}

// A key that is blank once trimmed finds nothing, not even a blank record.
TEST(RecordSearch, blankKeyFindsNothing)
{
    const std::string withBlank = record("") + list;
    for (const char *key : {"", " ", "   ", "\0"})
        EXPECT_EQ(rules::findRecord(withBlank, key), -1) << '"' << key << '"';
    EXPECT_EQ(rules::findRecord(withBlank, std::string(20, ' ')), -1);
}

// A record the reader cannot give in full ends the search with no answer.
TEST(RecordSearch, unreadableRecordGivesNoAnswer)
{
    int reads = 0;
    EXPECT_EQ(rules::findRecord(4, "cat", [&](std::int32_t) -> std::optional<std::string_view> {
                  ++reads;
                  return std::nullopt;
              }),
              -1);
    EXPECT_EQ(reads, 1);
}
