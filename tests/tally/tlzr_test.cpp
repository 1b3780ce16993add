// The LZRW1/KH block coder on its own: the exact coded bytes of known
// blocks, what the coder may emit, and the decoder's limits on hand-made
// blocks.

#include "qtprinters.h"
#include "tlzr.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <span>
#include <stdexcept>
#include <vector>

namespace {

QByteArray code(TLZR &coder, const QByteArray &block)
{
    std::vector<quint8> coded(block.size() + TLZR::Spare);
    const std::size_t length = coder.compress(
        std::span(reinterpret_cast<const quint8 *>(block.constData()), std::size_t(block.size())), coded);
    return QByteArray(reinterpret_cast<const char *>(coded.data()), qsizetype(length));
}

QByteArray code(const QByteArray &block)
{
    TLZR coder;
    return code(coder, block);
}

struct Decoded {
    TLZR::Error error = TLZR::Error::None;
    QByteArray data;
};

Decoded decode(const QByteArray &coded)
{
    // Exactly the coded bytes, so that a read past them is seen by the
    // address sanitizer.
    std::vector<quint8> in(coded.begin(), coded.end());
    std::vector<quint8> out(TLZR::BlockSize);
    const TLZR::Decoded result = TLZR::decompress(in, out);
    return {result.error, QByteArray(reinterpret_cast<const char *>(out.data()), qsizetype(result.size))};
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray randomBytes(qsizetype count, unsigned seed, int alphabet = 256)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(pick(random));
    return bytes;
}

// One item of a compressed block, as a reader sees it.
struct Item {
    enum Kind { Literal, Copy, Run } kind;
    int offset = 0; // copies
    int count = 1;  // bytes produced
    quint8 byte = 0;
};

// Walks a compressed block by the format alone; fails the test on a block
// that does not parse.
std::vector<Item> items(const QByteArray &coded)
{
    std::vector<Item> list;
    const auto at = [&](qsizetype i) { return quint8(coded.at(i)); };
    const auto has = [&](qsizetype x, qsizetype count) {
        if (coded.size() - x >= count)
            return true;
        ADD_FAILURE() << "block cut off at " << x;
        return false;
    };
    if (!has(0, 3) || at(0) != 0x40) {
        ADD_FAILURE() << "not a compressed block";
        return list;
    }
    qsizetype x = 1;
    int bits = 0;
    quint16 control = 0;
    while (x < coded.size()) {
        if (bits == 0) {
            if (!has(x, 3))
                return list;
            control = quint16(at(x) << 8 | at(x + 1));
            x += 2;
            bits = 16;
        }
        if (!(control & 0x8000)) {
            list.push_back({Item::Literal, 0, 1, at(x)});
            x += 1;
        } else {
            if (!has(x, 2))
                return list;
            const int offset = at(x) << 4 | at(x + 1) >> 4;
            if (offset != 0) {
                list.push_back({Item::Copy, offset, (at(x + 1) & 0x0F) + 3, 0});
                x += 2;
            } else {
                if (!has(x, 4))
                    return list;
                list.push_back({Item::Run, 0, ((at(x + 1) & 0x0F) << 8 | at(x + 2)) + 16, at(x + 3)});
                x += 4;
            }
        }
        control = quint16(control << 1);
        --bits;
    }
    // The bits of the last control word that belong to no item are 0.
    EXPECT_EQ(control, 0) << "unused control bits set";
    return list;
}

std::vector<Item> copies(const QByteArray &coded)
{
    std::vector<Item> found;
    for (const Item &item : items(coded)) {
        if (item.kind == Item::Copy)
            found.push_back(item);
    }
    return found;
}

} // namespace

// Known blocks code to exactly the bytes of the format's worked examples.
TEST(BlockCoder, codesKnownBlocksToTheirExactBytes)
{
    struct Case {
        QByteArray input;
        QByteArray coded;
    };
    const Case cases[] = {
        // Three distinct bytes do not pay: stored.
        {"abc", hex("80616263")},
        // Twenty equal bytes: one run item.
        {QByteArray(20, 'a'), hex("40800000000461")},
        // Three literals, then a copy of offset 3 and length 6.
        {"abcabcabc", hex("4010006162630033")},
        // Fifteen equal bytes are below a run: a literal and a copy of
        // offset 1 and length 14.
        {QByteArray(15, 'a'), hex("40400061001b")},
        // Sixteen are the shortest run.
        {QByteArray(16, 'a'), hex("40800000000061")},
        // A run stops at 4095; the byte left over is a literal.
        {QByteArray(4096, 'a'), hex("408000000fef6161")},
        // The empty block: the flag alone.
        {QByteArray(), hex("80")},
        {"a", hex("8061")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(code(c.input).toHex(), c.coded.toHex()) << "input of " << c.input.size() << " bytes";
        const Decoded back = decode(c.coded);
        EXPECT_EQ(back.error, TLZR::Error::None);
        EXPECT_EQ(back.data, c.input);
    }
}

// A block that does not shrink is stored, so a coded block is never longer
// than its input plus the flag; a full random block is 32769 bytes.
TEST(BlockCoder, storesWhatDoesNotShrink)
{
    for (qsizetype size : {1, 2, 3, 17, 100, 4096, 32767, 32768}) {
        const QByteArray input = randomBytes(size, unsigned(size));
        const QByteArray coded = code(input);
        ASSERT_EQ(coded.size(), size + 1);
        EXPECT_EQ(quint8(coded.at(0)), 0x80);
        EXPECT_EQ(coded.mid(1), input);
    }
}

// Copies reach back at most 4095 bytes: a repeat at 4095 is a copy, one at
// 4096 is three literals. Run items fill the gap, since bytes inside runs
// never enter the table.
TEST(BlockCoder, copiesReachBackAtMost4095Bytes)
{
    const auto input = [](int gap) {
        QByteArray bytes = "xyz";
        bytes += QByteArray(gap / 2, 'b');
        bytes += QByteArray(gap - gap / 2, 'c');
        bytes += "xyz";
        return bytes;
    };
    const std::vector<Item> near = items(code(input(4092)));
    ASSERT_FALSE(near.empty());
    EXPECT_EQ(near.back().kind, Item::Copy);
    EXPECT_EQ(near.back().offset, 4095);
    EXPECT_EQ(near.back().count, 3);

    const std::vector<Item> far = items(code(input(4093)));
    ASSERT_GE(far.size(), 3u);
    for (std::size_t i = far.size() - 3; i < far.size(); ++i)
        EXPECT_EQ(far[i].kind, Item::Literal);
}

// A match is cut at 18 bytes and continued by the next item; two bytes in
// common are no match.
TEST(BlockCoder, matchesAreThreeTo18Bytes)
{
    const QByteArray text = "abcdefghijklmnopqrstuvwxyz0123";
    const std::vector<Item> list = items(code(text + text));
    ASSERT_EQ(list.size(), 32u);
    EXPECT_EQ(list[30].kind, Item::Copy);
    EXPECT_EQ(list[30].offset, 30);
    EXPECT_EQ(list[30].count, 18);
    EXPECT_EQ(list[31].kind, Item::Copy);
    EXPECT_EQ(list[31].offset, 30);
    EXPECT_EQ(list[31].count, 12);

    // A run at the end makes the block pay, so it is not stored.
    EXPECT_TRUE(copies(code("abXYZWVUTSabQRPONMLK" + QByteArray(20, '-'))).empty());
}

// The table remembers the latest start of an item with a hash, whether it
// matched or not, and nothing inside a copy.
TEST(BlockCoder, tableHoldsTheLatestItemStarts)
{
    // "abc" at 5 is copied from 0; "abc" at 10 from 5, the newer one. The
    // run at the end makes the block pay.
    std::vector<Item> found = copies(code("abcXYabcQRabc" + QByteArray(40, '-')));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].offset, 5);
    EXPECT_EQ(found[1].offset, 5);
    EXPECT_EQ(found[1].count, 3);

    // "bcd" at 12 comes from the literal at 1 (offset 11), not from the
    // copy's inside at 7 (offset 5).
    found = copies(code("abcdefabcdefbcd"));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].offset, 6);
    EXPECT_EQ(found[0].count, 6);
    EXPECT_EQ(found[1].offset, 11);
    EXPECT_EQ(found[1].count, 3);
}

// The table has one entry per hash: "bik" and "hao" hash alike, so "hao"
// takes the entry and the second "bik" finds no match; with another
// three bytes between them it is copied.
TEST(BlockCoder, itemStartsWithTheSameHashShareAnEntry)
{
    const QByteArray tail(20, '-');
    EXPECT_TRUE(copies(code("bikhaobik" + tail)).empty());
    const std::vector<Item> found = copies(code("bikxyzbik" + tail));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].offset, 6);
}

// Every block starts with an empty history: a coder object used before gives
// the same bytes as a new one.
TEST(BlockCoder, eachBlockStartsAfresh)
{
    TLZR used;
    const QByteArray first = randomBytes(32768, 7, 4);
    const QByteArray second = randomBytes(20000, 8, 4);
    code(used, first);
    EXPECT_EQ(code(used, second), code(second));
}

// Whatever the block, its items keep the format's ranges, groups of 16 items
// follow their control words, and it decodes back to itself.
TEST(BlockCoder, roundTripsAndKeepsTheItemRanges)
{
    TLZR coder;
    std::mt19937 random(2024);
    for (int round = 0; round < 300; ++round) {
        const qsizetype size = round < 40 ? round : qsizetype(random() % (TLZR::BlockSize + 1));
        // Small alphabets and long runs reach every kind of item.
        const int alphabet = 1 + int(random() % (round % 3 == 0 ? 256 : 6));
        QByteArray input = randomBytes(size, unsigned(round), alphabet);
        if (round % 5 == 0 && size > 0) {
            const qsizetype from = qsizetype(random() % size);
            const qsizetype count = std::min<qsizetype>(size - from, qsizetype(random() % 9000));
            input.replace(from, count, QByteArray(count, 'r'));
        }
        const QByteArray coded = code(coder, input);
        ASSERT_LE(coded.size(), size + 1);
        if (quint8(coded.at(0)) == 0x40) {
            qsizetype produced = 0;
            for (const Item &item : items(coded)) {
                if (item.kind == Item::Copy) {
                    EXPECT_GE(item.offset, 1);
                    EXPECT_LE(item.offset, 4095);
                    EXPECT_LE(item.offset, produced);
                    EXPECT_GE(item.count, 3);
                    EXPECT_LE(item.count, 18);
                } else if (item.kind == Item::Run) {
                    EXPECT_GE(item.count, 16);
                    EXPECT_LE(item.count, 4095);
                }
                produced += item.count;
            }
            EXPECT_EQ(produced, size);
        }
        const Decoded back = decode(coded);
        ASSERT_EQ(back.error, TLZR::Error::None);
        ASSERT_EQ(back.data, input) << "round " << round;
    }
}

// Sizes the coder cannot honour are refused before anything is written.
TEST(BlockCoder, refusesBrokenSizes)
{
    TLZR coder;
    std::vector<quint8> big(TLZR::BlockSize + 1);
    std::vector<quint8> out(TLZR::BlockSize + 1 + TLZR::Spare);
    EXPECT_THROW(coder.compress(big, out), std::invalid_argument);
    std::vector<quint8> block(100);
    std::vector<quint8> small(100 + TLZR::Spare - 1);
    EXPECT_THROW(coder.compress(block, small), std::invalid_argument);
    std::vector<quint8> shortOut(TLZR::BlockSize - 1);
    EXPECT_THROW(TLZR::decompress(block, shortOut), std::invalid_argument);
}

// The decoder's reading of the flag: 0x80 is stored, anything else is
// compressed, and a block of at most one byte is empty.
TEST(BlockDecoder, readsTheFlag)
{
    for (const char *empty : {"", "80", "40", "00", "ff"}) {
        const Decoded back = decode(hex(empty));
        EXPECT_EQ(back.error, TLZR::Error::None) << empty;
        EXPECT_TRUE(back.data.isEmpty()) << empty;
    }
    for (const char *flag : {"40", "00", "41", "7f", "81", "ff"}) {
        const Decoded back = decode(hex(flag) + hex("10006162630033"));
        EXPECT_EQ(back.error, TLZR::Error::None) << flag;
        EXPECT_EQ(back.data, "abcabcabc") << flag;
    }
    // A compressed block of just its control word holds no item.
    EXPECT_EQ(decode(hex("400000")).error, TLZR::Error::None);
    EXPECT_EQ(decode(hex("804000")).data, hex("4000"));
}

// A copy may overlap what it produces and reach back to the block's first
// byte, but no further.
TEST(BlockDecoder, refusesCopiesFromBeforeTheBlock)
{
    // "ab", then a copy of offset 2 and length 5.
    EXPECT_EQ(decode(hex("40 2000 6162 0022")).data, "abababa");
    EXPECT_EQ(decode(hex("40 2000 6162 0032")).error, TLZR::Error::CopyBeforeStart);
    // The first item a copy.
    EXPECT_EQ(decode(hex("40 8000 0010")).error, TLZR::Error::CopyBeforeStart);
    EXPECT_EQ(decode(hex("40 8000 ffff")).error, TLZR::Error::CopyBeforeStart);
}

// A block decodes to at most 32768 bytes, by runs, copies or literals.
TEST(BlockDecoder, refusesOutputPast32768Bytes)
{
    // Eight runs of 4095 and eight literals: exactly 32768 bytes.
    QByteArray full = hex("40ff00");
    for (int i = 0; i < 8; ++i)
        full += hex("000fef61");
    full += "abcdefgh";
    Decoded back = decode(full);
    EXPECT_EQ(back.error, TLZR::Error::None);
    EXPECT_EQ(back.data.size(), 32768);

    // One literal more, in a second group.
    back = decode(full + hex("0000") + "x");
    EXPECT_EQ(back.error, TLZR::Error::OutputTooLong);
    EXPECT_TRUE(back.data.isEmpty());

    // Nine runs of 4095.
    QByteArray runs = hex("40ff80");
    for (int i = 0; i < 9; ++i)
        runs += hex("000fef61");
    EXPECT_EQ(decode(runs).error, TLZR::Error::OutputTooLong);

    // Eight runs, then a copy of 18 that crosses the limit.
    QByteArray copy = hex("40ff80");
    for (int i = 0; i < 8; ++i)
        copy += hex("000fef61");
    copy += hex("001f");
    EXPECT_EQ(decode(copy).error, TLZR::Error::OutputTooLong);

    // A stored block of 32769 bytes is full; one byte more is too long.
    QByteArray stored(32769, 'q');
    stored[0] = char(0x80);
    EXPECT_EQ(decode(stored).data.size(), 32768);
    stored += 'q';
    EXPECT_EQ(decode(stored).error, TLZR::Error::CodedTooLong);
    QByteArray compressed(32770, 0);
    compressed[0] = char(0x40);
    EXPECT_EQ(decode(compressed).error, TLZR::Error::CodedTooLong);
}

// A control word or an item cut off by the block's end is refused, never
// read past.
TEST(BlockDecoder, refusesItemsCutOffAtTheEnd)
{
    // The first control word cut: a compressed block of two bytes.
    EXPECT_EQ(decode(hex("4080")).error, TLZR::Error::CutOff);
    // A reference cut after its first byte.
    EXPECT_EQ(decode(hex("40800001")).error, TLZR::Error::CutOff);
    // A run cut after two and after three of its four bytes.
    EXPECT_EQ(decode(hex("4080000000")).error, TLZR::Error::CutOff);
    EXPECT_EQ(decode(hex("408000000000")).error, TLZR::Error::CutOff);
    EXPECT_EQ(decode(hex("40800000000061")).data, QByteArray(16, 'a'));

    // Sixteen literals use up a control word; what follows must be a whole
    // word and then an item.
    const QByteArray sixteen = hex("400000") + QByteArray(16, 'z');
    EXPECT_EQ(decode(sixteen).data, QByteArray(16, 'z'));
    EXPECT_EQ(decode(sixteen + hex("00")).error, TLZR::Error::CutOff);
    EXPECT_EQ(decode(sixteen + hex("0000")).error, TLZR::Error::CutOff);
    EXPECT_EQ(decode(sixteen + hex("0000") + "y").data, QByteArray(16, 'z') + "y");
}
