// Damaged input never crashes the decoder: containers and blocks mutated at
// random from fixed seeds, and the committed corpus of odd inputs, all keep
// the properties of LzrwCheck.

#include "elzrw1exception.h"
#include "lzrwcheck.h"
#include "qtprinters.h"
#include "tlzrw1.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

QByteArray tallyLike(qsizetype count)
{
    QByteArray text = "9\r\n12\r\n";
    int line = 0;
    while (text.size() < count) {
        text += (line % 12 == 0) ? QByteArray::number(line * 37 % 1000) : (line % 5 ? QByteArray() : "-1000");
        text += "\r\n";
        ++line;
    }
    text.truncate(count);
    return text;
}

QByteArray noise(qsizetype count, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random());
    return bytes;
}

// Valid containers of every shape: empty, one block stored or compressed,
// several blocks, runs.
std::vector<QByteArray> validContainers()
{
    return {
        Tlzrw1::compress(QByteArray()),
        Tlzrw1::compress("abc"),
        Tlzrw1::compress(tallyLike(278)),
        Tlzrw1::compress(tallyLike(70000)),
        Tlzrw1::compress(noise(5000, 1)),
        Tlzrw1::compress(QByteArray(32768, 'x')),
        Tlzrw1::compress(tallyLike(3000) + QByteArray(9000, '\0') + noise(300, 2)),
    };
}

// One random change of the kinds that damage files: bytes overwritten,
// cut, inserted, removed or repeated.
QByteArray mutate(QByteArray bytes, std::mt19937 &random)
{
    const auto position = [&](qsizetype size) { return size > 0 ? qsizetype(random() % size) : 0; };
    switch (random() % 6) {
    case 0: { // a few bytes flipped to random values
        const int count = 1 + int(random() % 4);
        for (int i = 0; i < count && !bytes.isEmpty(); ++i)
            bytes[position(bytes.size())] = char(random());
        break;
    }
    case 1: // one bit flipped
        if (!bytes.isEmpty())
            bytes[position(bytes.size())] ^= char(1 << (random() % 8));
        break;
    case 2: // cut
        bytes.truncate(position(bytes.size()));
        break;
    case 3: // random bytes inserted
        bytes.insert(position(bytes.size() + 1), noise(1 + qsizetype(random() % 8), unsigned(random())));
        break;
    case 4: // a span removed
        if (!bytes.isEmpty()) {
            const qsizetype from = position(bytes.size());
            bytes.remove(from, 1 + position(std::min<qsizetype>(bytes.size() - from, 64)));
        }
        break;
    default: // a span repeated
        if (!bytes.isEmpty()) {
            const qsizetype from = position(bytes.size());
            bytes.insert(from, bytes.mid(from, 1 + position(64)));
        }
        break;
    }
    return bytes;
}

QString corpusFolder()
{
    return QStringLiteral(TARVLE_LZRW_CORPUS);
}

} // namespace

// Every container mutated at random either unpacks to its stored size or
// fails with an ELzrw1Exception; several mutations may pile up.
TEST(Corruption, mutatedContainersNeverCrash)
{
    const std::vector<QByteArray> sources = validContainers();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        for (int round = 0; round < 600; ++round) {
            QByteArray bytes = sources[random() % sources.size()];
            const int changes = 1 + int(random() % 3);
            for (int i = 0; i < changes; ++i)
                bytes = mutate(bytes, random);
            const std::string broken = LzrwCheck::checkContainer(bytes);
            ASSERT_TRUE(broken.empty()) << broken << " (seed " << seed << ", round " << round << ")\n"
                                        << bytes.left(200).toHex().constData();
        }
    }
}

// A single byte set to random values at many positions: the decoder either
// reads a container of the stored size or refuses it, never anything else.
TEST(Corruption, flippedBytesNeverCrash)
{
    const QByteArray container = validContainers()[3];
    std::mt19937 random(77);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = container;
        bytes[qsizetype(random() % bytes.size())] = char(random());
        try {
            const QByteArray data = Tlzrw1::decompress(bytes, QStringLiteral("x"));
            ASSERT_EQ(data.size(), 70000) << round;
        } catch (const ELzrw1Exception &) {
            ++refused;
        }
    }
    // Control words, lengths and references are most of a compressed file.
    EXPECT_GT(refused, 0);
}

// Random bytes and mutated coded blocks as single blocks: refused or
// decoded within the limits, and what decodes codes back to itself.
TEST(Corruption, randomBlocksNeverCrash)
{
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes = noise(qsizetype(random() % 300), unsigned(random()));
        if (!bytes.isEmpty() && round % 2 == 0)
            bytes[0] = char(0x40);
        const std::string broken = LzrwCheck::checkBlock(bytes);
        ASSERT_TRUE(broken.empty()) << broken << " (round " << round << ")";
    }
    for (const QByteArray &container : validContainers()) {
        const QByteArray firstBlock = container.mid(10);
        for (int round = 0; round < 200; ++round) {
            const std::string broken = LzrwCheck::checkBlock(mutate(firstBlock, random));
            ASSERT_TRUE(broken.empty()) << broken;
        }
    }
}

// The committed corpus, replayed: every file keeps the properties; "ok-"
// files unpack and "bad-" files are refused.
TEST(Corruption, corpusReplays)
{
    const QDir folder(corpusFolder());
    const QFileInfoList entries = folder.entryInfoList(QDir::Files, QDir::Name);
    ASSERT_GE(entries.size(), 20) << "corpus missing at " << corpusFolder().toStdString();
    for (const QFileInfo &entry : entries) {
        QFile file(entry.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << entry.fileName().toStdString();
        const QByteArray bytes = file.readAll();
        const std::string broken = LzrwCheck::checkAll(bytes);
        EXPECT_TRUE(broken.empty()) << entry.fileName().toStdString() << ": " << broken;

        const QString name = entry.fileName();
        if (!name.startsWith(QLatin1String("ok-")) && !name.startsWith(QLatin1String("bad-")))
            continue;
        bool unpacked = true;
        try {
            Tlzrw1::decompress(bytes, name);
        } catch (const ELzrw1Exception &) {
            unpacked = false;
        }
        EXPECT_EQ(unpacked, name.startsWith(QLatin1String("ok-"))) << name.toStdString();
    }
}
