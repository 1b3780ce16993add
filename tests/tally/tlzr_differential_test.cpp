// The block coder against the kept reference coder: every input codes to the
// same bytes, and every coded block, well formed or damaged, decodes to the
// same size and bytes or is refused with the same error. Buffers are exactly
// as large as the contracts ask, so that the address sanitizer sees any
// access past them.

#include "qtprinters.h"
#include "tlzr.h"
#include "tlzr_reference.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<quint8>;

Bytes toBytes(const QByteArray &data)
{
    return Bytes(data.begin(), data.end());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Coded by both coders; fails the test where they differ. One coder object
// serves every block, as in the container, so a table left dirty by an
// earlier block would show.
Bytes codeBoth(TLZR &coder, const Bytes &data)
{
    // Built from a range, so that its capacity is its size.
    const Bytes block(data.begin(), data.end());
    Bytes fast(block.size() + TLZR::Spare);
    Bytes reference(block.size() + TLZR::Spare);
    const std::size_t fastLength = coder.compress(block, fast);
    const std::size_t referenceLength = ReferenceTLZR::compress(block, reference);
    fast.resize(fastLength);
    reference.resize(referenceLength);
    EXPECT_EQ(fast, reference) << "block of " << block.size() << " bytes";
    return fast;
}

// Decoded by both decoders from an exact copy of coded; counts a failure
// and reports the first ones.
struct Differences {
    int blocks = 0;
    int refused = 0;
    int full = 0; // decoded to exactly BlockSize bytes
    int failures = 0;

    void check(const Bytes &block)
    {
        ++blocks;
        // Built from a range, so that its capacity is its size.
        const Bytes coded(block.begin(), block.end());
        Bytes fastOut(TLZR::BlockSize);
        Bytes referenceOut(TLZR::BlockSize);
        const TLZR::Decoded fast = TLZR::decompress(coded, fastOut);
        const TLZR::Decoded reference = ReferenceTLZR::decompress(coded, referenceOut);
        if (reference.error != TLZR::Error::None)
            ++refused;
        else if (reference.size == TLZR::BlockSize)
            ++full;
        const bool same = fast.error == reference.error && fast.size == reference.size
            && std::equal(fastOut.begin(), fastOut.begin() + std::ptrdiff_t(fast.size), referenceOut.begin());
        if (!same && ++failures <= 5) {
            ADD_FAILURE() << "decoded otherwise: " << TLZR::errorText(fast.error) << " (" << fast.size
                          << " bytes) against " << TLZR::errorText(reference.error) << " (" << reference.size
                          << " bytes), block of " << coded.size() << " bytes: "
                          << QByteArray(reinterpret_cast<const char *>(coded.data()),
                                        qsizetype(std::min<std::size_t>(coded.size(), 80)))
                                 .toHex()
                                 .constData();
        }
    }
};

// Data shaped like what LZ coders meet: stretches of random bytes from a
// small or full alphabet, runs of every length around the limits, and
// repeats of earlier bytes from near and far, some altered.
Bytes shapedData(std::mt19937 &random, std::size_t size)
{
    Bytes data;
    data.reserve(size);
    const unsigned alphabet = std::vector<unsigned>{2, 4, 16, 26, 256}[random() % 5];
    while (data.size() < size) {
        const std::size_t left = size - data.size();
        switch (random() % 4) {
        case 0: { // random bytes
            const std::size_t count = std::min<std::size_t>(left, 1 + random() % 200);
            for (std::size_t i = 0; i < count; ++i)
                data.push_back(quint8('a' + random() % alphabet));
            break;
        }
        case 1: { // a run, often near 16 or 4095 bytes
            static const std::size_t lengths[] = {1, 2, 3, 14, 15, 16, 17, 18, 19, 4094, 4095, 4096, 4111, 4112};
            std::size_t count = random() % 3 ? lengths[random() % std::size(lengths)] : 1 + random() % 9000;
            data.insert(data.end(), std::min(count, left), quint8(random()));
            break;
        }
        default: { // a repeat from 1 to 5000 bytes back
            if (data.empty())
                break;
            const std::size_t back = 1 + random() % std::min<std::size_t>(data.size(), random() % 2 ? 20 : 5000);
            const std::size_t count = std::min<std::size_t>(left, 1 + random() % 40);
            const std::size_t from = data.size() - back;
            for (std::size_t i = 0; i < count; ++i)
                data.push_back(data[from + i]);
            if (random() % 3 == 0)
                data.back() = quint8(random());
            break;
        }
        }
    }
    data.resize(size);
    return data;
}

// A compressed block built item by item at random: mostly valid, filling
// the output up to a target near or at 32768 bytes; now and then a copy
// from just before the block's start, or items that carry the output past
// the limit; sometimes cut anywhere.
Bytes randomItems(std::mt19937 &random)
{
    Bytes coded{TLZR::CompressedFlag};
    const std::size_t target = random() % 2 ? TLZR::BlockSize - random() % 400 : random() % TLZR::BlockSize;
    const unsigned runOdds = 1 + random() % 40;
    const bool badOffsets = random() % 4 == 0;
    const bool overshoot = random() % 4 == 0;
    std::size_t produced = 0;
    while (produced < target) {
        const std::size_t controlAt = coded.size();
        coded.push_back(0);
        coded.push_back(0);
        quint16 control = 0;
        for (int item = 0; item < 16; ++item) {
            control = quint16(control << 1);
            const unsigned kind = random() % 100;
            const std::size_t low = random() % 16;
            const std::size_t extra = random() % 2 ? random() % 64 : random() % 4096;
            std::size_t offset = 1 + random() % std::max<std::size_t>(1, std::min<std::size_t>(produced, 4095));
            if (random() % 4 == 0)
                offset = std::min<std::size_t>(offset, 1 + random() % 16);
            if (badOffsets && random() % 50 == 0)
                offset = std::min<std::size_t>(4095, produced + 1 + random() % 3);
            const bool fits = overshoot || produced + 16 + extra <= target;
            if (kind < 50 || produced == 0 || (!overshoot && produced + low + 3 > target)) {
                coded.push_back(quint8(random()));
                produced += 1;
            } else if (kind < 100 - runOdds || !fits) {
                control |= 1;
                coded.push_back(quint8(offset >> 4));
                coded.push_back(quint8((offset & 0x0F) << 4 | low));
                produced += low + 3;
            } else {
                control |= 1;
                coded.push_back(0);
                coded.push_back(quint8(extra >> 8));
                coded.push_back(quint8(extra & 0xFF));
                coded.push_back(quint8(random()));
                produced += extra + 16;
            }
        }
        coded[controlAt] = quint8(control >> 8);
        coded[controlAt + 1] = quint8(control & 0xFF);
    }
    if (random() % 3 == 0)
        coded.resize(1 + random() % coded.size());
    return coded;
}

// One item of a compressed block, and a block assembled from a list of
// them, 16 to a control word.
struct Item {
    enum Kind { Literal, Copy, Run } kind;
    std::size_t count = 1; // bytes produced
    std::size_t offset = 0; // copies
    quint8 byte = 'q';
};

Bytes assemble(const std::vector<Item> &items)
{
    Bytes coded{TLZR::CompressedFlag};
    for (std::size_t first = 0; first < items.size(); first += 16) {
        const std::size_t controlAt = coded.size();
        coded.push_back(0);
        coded.push_back(0);
        quint16 control = 0;
        for (std::size_t i = first; i < first + 16; ++i) {
            control = quint16(control << 1);
            if (i >= items.size())
                continue;
            const Item &item = items[i];
            if (item.kind == Item::Literal) {
                coded.push_back(item.byte);
            } else if (item.kind == Item::Copy) {
                control |= 1;
                coded.push_back(quint8(item.offset >> 4));
                coded.push_back(quint8((item.offset & 0x0F) << 4 | (item.count - 3)));
            } else {
                control |= 1;
                coded.push_back(0);
                coded.push_back(quint8((item.count - 16) >> 8));
                coded.push_back(quint8((item.count - 16) & 0xFF));
                coded.push_back(item.byte);
            }
        }
        coded[controlAt] = quint8(control >> 8);
        coded[controlAt + 1] = quint8(control & 0xFF);
    }
    return coded;
}

// Items that produce exactly count bytes, long runs first, literals last.
std::vector<Item> filler(std::size_t count)
{
    std::vector<Item> items;
    while (count >= 16) {
        const std::size_t run = std::min<std::size_t>(count, 4111);
        items.push_back({Item::Run, run, 0, quint8('a' + items.size() % 26)});
        count -= run;
    }
    for (; count > 0; --count)
        items.push_back({Item::Literal, 1, 0, quint8('A' + count)});
    return items;
}

// count bytes of items, so many that the items after them start at the
// given place in a group.
std::vector<Item> prefix(std::size_t count, std::size_t place)
{
    for (std::size_t literals = 0;; ++literals) {
        std::vector<Item> items(literals, Item{Item::Literal, 1, 0, 'p'});
        const std::vector<Item> rest = filler(count - literals);
        items.insert(items.end(), rest.begin(), rest.end());
        if (items.size() % 16 == place)
            return items;
    }
}

// One random change of the kinds that damage files.
Bytes mutate(Bytes bytes, std::mt19937 &random)
{
    const auto position = [&](std::size_t size) { return size > 0 ? std::size_t(random() % size) : 0; };
    switch (random() % 6) {
    case 0: {
        const int count = 1 + int(random() % 4);
        for (int i = 0; i < count && !bytes.empty(); ++i)
            bytes[position(bytes.size())] = quint8(random());
        break;
    }
    case 1:
        if (!bytes.empty())
            bytes[position(bytes.size())] ^= quint8(1 << (random() % 8));
        break;
    case 2:
        bytes.resize(position(bytes.size()));
        break;
    case 3: {
        const std::size_t at = position(bytes.size() + 1);
        const std::size_t count = 1 + random() % 8;
        for (std::size_t i = 0; i < count; ++i)
            bytes.insert(bytes.begin() + std::ptrdiff_t(at), quint8(random()));
        break;
    }
    case 4:
        if (!bytes.empty()) {
            const std::size_t from = position(bytes.size());
            const std::size_t count = 1 + position(std::min<std::size_t>(bytes.size() - from, 64));
            bytes.erase(bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(from + count));
        }
        break;
    default:
        if (!bytes.empty()) {
            const std::size_t from = position(bytes.size());
            const std::size_t count = std::min<std::size_t>(bytes.size() - from, 1 + position(64));
            const Bytes span(bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(from + count));
            bytes.insert(bytes.begin() + std::ptrdiff_t(from), span.begin(), span.end());
        }
        break;
    }
    return bytes;
}

// Blocks of the word list and of the committed corpus, as the container
// would cut them.
std::vector<Bytes> fileBlocks()
{
    std::vector<QByteArray> files{readFile(QStringLiteral(TARVLE_LZRW_WORDS))};
    const QDir corpus(QStringLiteral(TARVLE_LZRW_CORPUS));
    for (const QFileInfo &entry : corpus.entryInfoList(QDir::Files, QDir::Name))
        files.push_back(readFile(entry.filePath()));
    std::vector<Bytes> blocks;
    for (const QByteArray &file : files) {
        for (qsizetype from = 0; from < file.size(); from += qsizetype(TLZR::BlockSize))
            blocks.push_back(toBytes(file.mid(from, qsizetype(TLZR::BlockSize))));
    }
    return blocks;
}

} // namespace

// Every block of the word list and the corpus, each short length, and
// shaped data of every size code to the reference coder's exact bytes.
TEST(AgainstReference, codesEveryBlockToTheSameBytes)
{
    const std::vector<Bytes> blocks = fileBlocks();
    ASSERT_GT(blocks.size(), 80u) << "word list missing at " TARVLE_LZRW_WORDS;
    TLZR coder;
    for (const Bytes &block : blocks)
        codeBoth(coder, block);

    std::mt19937 random(11);
    const Bytes &text = blocks.front();
    for (std::size_t size = 0; size <= 80; ++size) {
        codeBoth(coder, Bytes(text.begin(), text.begin() + std::ptrdiff_t(size)));
        codeBoth(coder, Bytes(size, quint8('a')));
        codeBoth(coder, shapedData(random, size));
    }
    for (int round = 0; round < 400; ++round) {
        const std::size_t size = round % 4 == 0 ? TLZR::BlockSize - random() % 64 : random() % (TLZR::BlockSize + 1);
        codeBoth(coder, shapedData(random, size));
        if (HasFailure())
            return;
    }
}

// Data that codes to about its own size stops, or does not, at every point
// near its end; both coders choose the stored form at the same blocks.
TEST(AgainstReference, fallsBackToStoredAtTheSameBlocks)
{
    std::mt19937 random(12);
    TLZR coder;
    int stored = 0;
    int compressed = 0;
    for (int round = 0; round < 600; ++round) {
        const std::size_t size = 1200 + random() % 5000;
        Bytes block;
        block.reserve(size);
        // Random bytes and short repeats from near by: about as long coded.
        const unsigned repeats = 5 + random() % 40;
        while (block.size() < size) {
            if (block.size() > 1000 && random() % 100 < repeats) {
                const std::size_t from = block.size() - 1 - random() % 1000;
                const std::size_t count = 3 + random() % 4;
                for (std::size_t i = 0; i < count; ++i)
                    block.push_back(block[from + i]);
            } else {
                block.push_back(quint8(random()));
            }
        }
        block.resize(size);
        const Bytes coded = codeBoth(coder, block);
        (coded.front() == TLZR::StoredFlag ? stored : compressed) += 1;
        if (HasFailure())
            return;
    }
    EXPECT_GT(stored, 50);
    EXPECT_GT(compressed, 50);
}

// Coded blocks of every kind, valid and damaged, decode alike: the decoder
// gives the same size and bytes or refuses with the same error.
TEST(AgainstReference, decodesMutatedBlocksAlike)
{
    TLZR coder;
    std::vector<Bytes> sources;
    for (const Bytes &block : fileBlocks())
        sources.push_back(codeBoth(coder, block));
    std::mt19937 random(13);
    for (int i = 0; i < 60; ++i)
        sources.push_back(codeBoth(coder, shapedData(random, random() % 2 ? TLZR::BlockSize : random() % 4000)));

    Differences differences;
    for (const Bytes &source : sources)
        differences.check(source);
    for (int round = 0; round < 8000; ++round) {
        Bytes bytes = sources[random() % sources.size()];
        const int changes = 1 + int(random() % 3);
        for (int i = 0; i < changes; ++i)
            bytes = mutate(std::move(bytes), random);
        differences.check(bytes);
        if (differences.failures > 5)
            break;
    }
    EXPECT_EQ(differences.failures, 0) << "of " << differences.blocks << " blocks";
    // Most damage is seen; some lands in literals and decodes.
    EXPECT_GT(differences.refused, differences.blocks / 4);
    EXPECT_LT(differences.refused, differences.blocks);
}

// Blocks made item by item at random, near the output's limit, with copies
// from just inside and just before the block's start and runs that leave
// little room; then cut and damaged.
TEST(AgainstReference, decodesRandomItemStreamsAlike)
{
    std::mt19937 random(14);
    Differences differences;
    int decodedFull = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes coded = randomItems(random);
        if (round % 2)
            coded = mutate(std::move(coded), random);
        differences.check(coded);
        Bytes out(TLZR::BlockSize);
        const TLZR::Decoded decoded = TLZR::decompress(coded, out);
        if (decoded.error == TLZR::Error::None && decoded.size > TLZR::BlockSize - 400)
            ++decodedFull;
        if (differences.failures > 5)
            break;
    }
    EXPECT_EQ(differences.failures, 0) << "of " << differences.blocks << " blocks";
    EXPECT_GT(differences.refused, 300);
    EXPECT_GT(decodedFull, 50);
}

// Random bytes as blocks, compressed flag or not, and every cut of a few
// valid blocks.
TEST(AgainstReference, decodesRandomBytesAndEveryCutAlike)
{
    std::mt19937 random(15);
    Differences differences;
    for (int round = 0; round < 4000; ++round) {
        Bytes bytes(random() % 600);
        for (quint8 &byte : bytes)
            byte = quint8(random());
        if (!bytes.empty() && round % 2 == 0)
            bytes[0] = TLZR::CompressedFlag;
        differences.check(bytes);
    }
    TLZR coder;
    for (int i = 0; i < 3; ++i) {
        const Bytes coded = codeBoth(coder, shapedData(random, 3000));
        for (std::size_t cut = 0; cut <= coded.size(); ++cut)
            differences.check(Bytes(coded.begin(), coded.begin() + std::ptrdiff_t(cut)));
    }
    EXPECT_EQ(differences.failures, 0) << "of " << differences.blocks << " blocks";
}

// Groups that end at the very edges of the buffers: the output full to
// the byte or a few bytes short of it or past it, and the coded block ending
// just after the group or a few bytes later, with groups of long copies,
// overlapping copies, runs and literals that start where the whole-group
// path begins or a little later. Each block is decoded by both decoders
// from exact buffers, so any read or write past them is seen.
TEST(AgainstReference, decodesGroupsAtTheBuffersEdgesAlike)
{
    const Item literal{Item::Literal, 1, 0, 'l'};
    const auto copy = [](std::size_t offset, std::size_t count) { return Item{Item::Copy, count, offset, 0}; };
    const auto run = [](std::size_t count) { return Item{Item::Run, count, 0, 'r'}; };
    std::vector<std::vector<Item>> patterns{
        std::vector<Item>(16, copy(20, 18)),
        std::vector<Item>(16, copy(8, 18)),
        std::vector<Item>(16, copy(9, 17)),
        std::vector<Item>(16, copy(3, 18)),
        std::vector<Item>(16, copy(1, 3)),
        std::vector<Item>(16, literal),
        std::vector<Item>(15, run(16)),
        std::vector<Item>(32, copy(100, 18)),
    };
    patterns[6].push_back(literal);
    std::vector<Item> mixed;
    for (int i = 0; i < 16; ++i)
        mixed.push_back(i % 2 ? copy(40, 18) : literal);
    patterns.push_back(mixed);
    std::vector<Item> runFirst{run(4111)};
    runFirst.insert(runFirst.end(), 15, copy(30, 18));
    patterns.push_back(runFirst);
    std::vector<Item> runLast(15, copy(30, 18));
    runLast.push_back(run(300));
    patterns.push_back(runLast);

    Differences differences;
    for (const std::vector<Item> &pattern : patterns) {
        std::size_t produced = 0;
        for (const Item &item : pattern)
            produced += item.count;
        for (std::size_t place : {std::size_t(0), std::size_t(1), std::size_t(5)}) {
            for (int after : {-20, -9, -8, -7, -6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                              13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 31, 32, 33, 40}) {
                for (std::size_t trailing : {0, 1, 2, 3, 5, 8, 11, 16, 17, 20, 33, 47, 64, 80}) {
                    // A prefix, the pattern, and after it room for after
                    // bytes of output, then trailing literals, which may
                    // carry the output past the limit.
                    const std::ptrdiff_t before = std::ptrdiff_t(TLZR::BlockSize) - std::ptrdiff_t(produced) - after;
                    std::vector<Item> items = prefix(std::size_t(before), place);
                    items.insert(items.end(), pattern.begin(), pattern.end());
                    items.insert(items.end(), trailing, literal);
                    differences.check(assemble(items));

                    // Far from the output's end, for the input's edge.
                    if (after == 0) {
                        items = prefix(200, place);
                        items.insert(items.end(), pattern.begin(), pattern.end());
                        items.insert(items.end(), trailing, literal);
                        differences.check(assemble(items));
                    }
                }
            }
        }
        if (differences.failures > 5)
            break;
    }
    EXPECT_EQ(differences.failures, 0) << "of " << differences.blocks << " blocks";
    EXPECT_GT(differences.full, 300);
    EXPECT_GT(differences.refused, 1000);
}
