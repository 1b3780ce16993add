// The tally file compressor: the exact bytes of known containers, round
// trips through memory and through files, and the player's message for each
// way a file can fail.

#include "elzrw1exception.h"
#include "qtprinters.h"
#include "tlzrw1.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <random>
#include <string>

namespace {

const QString ReadError = QStringLiteral("Lzrw1 : Error reading from input file : ");
const QString SizeMismatch =
    QStringLiteral("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
const QString NoHeader = QStringLiteral(" : Lzrw1 decompression : this file has no valid header !");
const QString CorruptBlock = QStringLiteral("Lzrw1 (decompression LZRW1/KH) : corrupt block in : ");
const QString OpenInput = QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ");
const QString OpenOutput = QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ");
const QString NoSize = QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ");

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The tally text after a first start with no game: 9 columns of 12 cells,
// column by column, every line ended by CR LF.
QByteArray firstStartTally()
{
    QByteArrayList lines{"9", "12"};
    const auto column = [&](const QByteArray &first, const QByteArray &middle) {
        lines << first;
        for (int row = 1; row <= 10; ++row)
            lines << middle;
        lines << QByteArray();
    };
    column("0", "");
    column("0", "-1000");
    for (int c = 2; c <= 4; ++c)
        column("0", "");
    for (int c = 5; c <= 8; ++c)
        column("", "");
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    return text;
}

QByteArray randomBytes(qsizetype count, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

// Words and runs: compresses well but not to almost nothing.
QByteArray repetitiveBytes(qsizetype count, unsigned seed)
{
    static const QByteArrayList words{"tally", "score", "-1000", "\r\n", "board", "letters",
                                      "        ", "0", "rotate", "game over"};
    std::mt19937 random(seed);
    QByteArray bytes;
    bytes.reserve(count + 64);
    while (bytes.size() < count) {
        if (random() % 50 == 0)
            bytes += QByteArray(qsizetype(random() % 5000), char(random()));
        else
            bytes += words[qsizetype(random() % words.size())];
    }
    bytes.truncate(count);
    return bytes;
}

// The container of data with the stored size replaced.
QByteArray withStoredSize(QByteArray container, quint32 size)
{
    for (int i = 0; i < 4; ++i)
        container[4 + i] = char(size >> (8 * i));
    return container;
}

// The message of the ELzrw1Exception that action raises; a test failure if
// it raises none or another kind.
QString failure(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(e.message(), QString::fromUtf8(e.what()));
        return e.message();
    } catch (const std::exception &e) {
        ADD_FAILURE() << "wrong kind of failure: " << e.what();
        return {};
    }
    ADD_FAILURE() << "no failure";
    return {};
}

// A block as the container holds it: its length, little-endian, then itself.
QByteArray block(const QByteArray &coded)
{
    const qsizetype length = coded.size();
    return QByteArray(1, char(length & 0xFF)) + char((length >> 8) & 0xFF) + coded;
}

QString unpackFailure(const QByteArray &container)
{
    return failure([&] { Tlzrw1::decompress(container, QStringLiteral("tally.tld")); });
}

class FileCompressor : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString path(const QString &name) const { return m_folder.filePath(name); }

    qint64 pack(const QString &input, const QString &output)
    {
        Tlzrw1 compressor;
        compressor.InputFile = input;
        compressor.OutputFile = output;
        compressor.CompressMode = Tlzrw1::Mode::Fast;
        return compressor.Compress();
    }

    qint64 unpack(const QString &input, const QString &output)
    {
        Tlzrw1 compressor;
        compressor.InputFile = input;
        compressor.OutputFile = output;
        return compressor.Decompress();
    }

    QStringList files() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_folder;
};

} // namespace

// Known texts pack to exactly the containers of the format's worked examples.
TEST(Container, packsKnownTextsToTheirExactBytes)
{
    EXPECT_EQ(Tlzrw1::compress("abc").toHex(), hex("57525a4c 03000000 0400 80616263").toHex());
    EXPECT_EQ(Tlzrw1::compress(QByteArray()).toHex(), hex("57525a4c 00000000 0100 80").toHex());
    EXPECT_EQ(Tlzrw1::compress(QByteArray(20, 'a')).toHex(),
              hex("57525a4c 14000000 0700 40800000000461").toHex());
    EXPECT_EQ(Tlzrw1::compress("abcabcabc").toHex(),
              hex("57525a4c 09000000 0800 4010006162630033").toHex());
    EXPECT_EQ(Tlzrw1::compress(QByteArray(4096, 'a')).toHex(),
              hex("57525a4c 00100000 0800 408000000fef6161").toHex());
}

// The tally of a first start is a 278-byte text and a 73-byte file: one
// compressed block of 63 bytes.
TEST(Container, packsTheFirstStartTally)
{
    const QByteArray text = firstStartTally();
    ASSERT_EQ(text.size(), 278);
    const QByteArray container = Tlzrw1::compress(text);
    EXPECT_EQ(container.size(), 73);
    EXPECT_TRUE(container.startsWith(hex("57525a4c 16010000 3f00 40 0038 390d0a 31320d0a")))
        << container.toHex().constData();
    // The whole file, as this coder first wrote it: any change to how blocks
    // are coded shows here.
    EXPECT_EQ(container, hex("57525a4c160100003f00400038390d0a31320d0a300d0a002f012101902d313067ff30"
                             "007f015f0d0a02af0387064f0726025006b1004f019f034602df012ff000012f012f01"
                             "2f0121"));
    EXPECT_EQ(Tlzrw1::decompress(container, QStringLiteral("tally.tld")), text);
}

// A text that fills its last block ends with an empty block, which the
// reader needs to stop.
TEST(Container, fullBlocksAreFollowedByAnEmptyOne)
{
    struct Case {
        QByteArray text;
        bool stored;
    };
    const Case cases[] = {{randomBytes(32768, 1), true}, {randomBytes(65536, 2), true}, {QByteArray(32768, 'x'), false}};
    for (const Case &c : cases) {
        const QByteArray container = Tlzrw1::compress(c.text);
        EXPECT_TRUE(container.endsWith(hex("0100 80")));
        if (c.stored) {
            // Random blocks are stored: L = 32769, bytes 01 80.
            EXPECT_EQ(container.mid(8, 3), hex("0180 80"));
            EXPECT_EQ(container.size(), 8 + (c.text.size() / 32768) * (2 + 32769) + 3);
        }
        EXPECT_EQ(Tlzrw1::decompress(container, QStringLiteral("x")), c.text);
        // Without the empty block the reader runs out of file.
        EXPECT_EQ(unpackFailure(container.chopped(3)), ReadError + "tally.tld");
    }
}

// Whatever the size and content, unpacking a packed text gives it back.
TEST(Container, roundTripsInMemory)
{
    const qsizetype sizes[] = {0, 1, 2, 3, 15, 16, 17, 32767, 32768, 32769, 65535, 65536, 100000};
    for (qsizetype size : sizes) {
        for (const QByteArray &text : {randomBytes(size, unsigned(size)), repetitiveBytes(size, unsigned(size)),
                                       QByteArray(size, '\0')}) {
            const QByteArray container = Tlzrw1::compress(text);
            ASSERT_EQ(Tlzrw1::decompress(container, QStringLiteral("x")), text) << size;
        }
    }
    // A few MB; the repetitive kind must shrink.
    const QByteArray big = repetitiveBytes(3 * 1024 * 1024 + 123, 99);
    const QByteArray container = Tlzrw1::compress(big);
    EXPECT_LT(container.size(), big.size() / 2);
    EXPECT_EQ(Tlzrw1::decompress(container, QStringLiteral("x")), big);
    const QByteArray noise = randomBytes(2 * 1024 * 1024 + 7, 98);
    EXPECT_EQ(Tlzrw1::decompress(Tlzrw1::compress(noise), QStringLiteral("x")), noise);
}

// The file forms write the same bytes as the memory forms and return the
// count written.
TEST_F(FileCompressor, roundTripsThroughFiles)
{
    const qsizetype sizes[] = {0, 1, 2, 3, 32767, 32768, 32769, 3 * 1024 * 1024 + 5};
    for (qsizetype size : sizes) {
        for (const QByteArray &text : {randomBytes(size, unsigned(size) + 5), repetitiveBytes(size, unsigned(size))}) {
            ASSERT_TRUE(writeFile(path("text"), text));
            const QByteArray expected = Tlzrw1::compress(text);
            EXPECT_EQ(pack(path("text"), path("packed")), expected.size());
            ASSERT_EQ(readFile(path("packed")), expected) << size;
            EXPECT_EQ(unpack(path("packed"), path("back")), text.size());
            ASSERT_EQ(readFile(path("back")), text) << size;
        }
    }
    // No working files are left beside the outputs.
    EXPECT_EQ(files(), QStringList({"back", "packed", "text"}));
}

// Output replaces a file that was there, and a file can be packed onto itself.
TEST_F(FileCompressor, replacesTheOutput)
{
    const QByteArray text = firstStartTally();
    ASSERT_TRUE(writeFile(path("text"), text));
    ASSERT_TRUE(writeFile(path("packed"), QByteArray(100000, 'o')));
    pack(path("text"), path("packed"));
    EXPECT_EQ(readFile(path("packed")).size(), 73);

    pack(path("text"), path("text"));
    unpack(path("text"), path("text"));
    EXPECT_EQ(readFile(path("text")), text);
}

// A missing input, an output that cannot be created, and an input that is
// no file fail with their messages and leave no output behind.
TEST_F(FileCompressor, reportsFilesThatCannotBeOpened)
{
    const QString missing = path("missing.tld");
    EXPECT_EQ(failure([&] { pack(missing, path("out")); }), NoSize + missing);
    EXPECT_EQ(failure([&] { unpack(missing, path("out")); }), OpenInput + missing);
    EXPECT_EQ(failure([&] { pack(m_folder.path(), path("out")); }), NoSize + m_folder.path());
    EXPECT_EQ(failure([&] { unpack(m_folder.path(), path("out")); }), OpenInput + m_folder.path());

    ASSERT_TRUE(writeFile(path("text"), "abc"));
    ASSERT_TRUE(writeFile(path("packed"), Tlzrw1::compress("abc")));
    const QString nowhere = path("no/such/folder/out");
    EXPECT_EQ(failure([&] { pack(path("text"), nowhere); }), OpenOutput + nowhere);
    EXPECT_EQ(failure([&] { unpack(path("packed"), nowhere); }), OpenOutput + nowhere);
    EXPECT_EQ(failure([&] { pack(path("text"), QString()); }), OpenOutput);

    EXPECT_EQ(files(), QStringList({"packed", "text"}));
}

// A container that fails to unpack leaves no output, and an output that was
// there stays as it was.
TEST_F(FileCompressor, failureKeepsTheOldOutput)
{
    const QByteArray container = Tlzrw1::compress(repetitiveBytes(100000, 3));
    const QByteArray broken[] = {container.chopped(1), withStoredSize(container, 100001), "!HZL",
                                 container.left(8) + hex("0000")};
    for (const QByteArray &bytes : broken) {
        ASSERT_TRUE(writeFile(path("tally.tld"), bytes));
        EXPECT_FALSE(failure([&] { unpack(path("tally.tld"), path("temp.txt")); }).isEmpty());
        EXPECT_FALSE(QFile::exists(path("temp.txt")));

        ASSERT_TRUE(writeFile(path("old"), "old contents"));
        EXPECT_FALSE(failure([&] { unpack(path("tally.tld"), path("old")); }).isEmpty());
        EXPECT_EQ(readFile(path("old")), "old contents");
        EXPECT_EQ(files(), QStringList({"old", "tally.tld"}));
    }
}

// A failure after megabytes were written, and so handed to the disk on the
// way, still leaves no output and the old one as it was.
TEST_F(FileCompressor, lateFailureKeepsTheOldOutput)
{
    const qsizetype size = 3 * 1024 * 1024 + 11;
    const QByteArray container = Tlzrw1::compress(randomBytes(size, 4));
    ASSERT_TRUE(writeFile(path("big.tld"), withStoredSize(container, quint32(size + 1))));
    ASSERT_TRUE(writeFile(path("old"), "old contents"));
    EXPECT_EQ(failure([&] { unpack(path("big.tld"), path("old")); }), SizeMismatch);
    EXPECT_EQ(readFile(path("old")), "old contents");
    EXPECT_EQ(files(), QStringList({"big.tld", "old"}));
}

// The messages name the file being read: its path for the file form, the
// given name for the memory form.
TEST_F(FileCompressor, messagesNameTheInput)
{
    const QByteArray container = Tlzrw1::compress(firstStartTally());
    const QString tally = path("tarvlesolotally.tld");

    ASSERT_TRUE(writeFile(tally, container.chopped(1)));
    EXPECT_EQ(failure([&] { unpack(tally, path("temp.txt")); }), ReadError + tally);
    EXPECT_EQ(failure([&] { Tlzrw1::decompress(container.chopped(1), QStringLiteral("memo")); }),
              ReadError + "memo");

    ASSERT_TRUE(writeFile(tally, "!HZL" + container.mid(4)));
    EXPECT_EQ(failure([&] { unpack(tally, path("temp.txt")); }), tally + NoHeader);

    QByteArray corrupt = container;
    corrupt[10] = char(0x40);
    corrupt[11] = char(0x80); // the first item a copy from before the start
    corrupt[12] = char(0x00);
    corrupt[13] = char(0x00);
    corrupt[14] = char(0x10);
    ASSERT_TRUE(writeFile(tally, corrupt));
    EXPECT_EQ(failure([&] { unpack(tally, path("temp.txt")); }), CorruptBlock + tally);
    EXPECT_FALSE(QFile::exists(path("temp.txt")));
}

// Messages carry any path unchanged, in UTF-8.
TEST_F(FileCompressor, messagesKeepNonAsciiPaths)
{
    const QString tally = path(QStringLiteral("t\u00e4lly \u20ac.tld"));
    ASSERT_TRUE(writeFile(tally, "!HZL"));
    try {
        unpack(tally, path("temp.txt"));
        ADD_FAILURE() << "no failure";
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(e.message(), tally + NoHeader);
        EXPECT_EQ(std::string(e.what()), (tally + NoHeader).toStdString());
    }
}

#ifdef Q_OS_LINUX
// An input that holds another count than its size said (as files under /proc
// do) fails with the reading error rather than give a container whose size
// field is wrong.
TEST_F(FileCompressor, inputOfAnotherSizeIsAReadingError)
{
    const QString proc = QStringLiteral("/proc/self/status");
    if (!QFile::exists(proc))
        GTEST_SKIP() << "no /proc";
    EXPECT_EQ(failure([&] { pack(proc, path("out")); }), ReadError + proc + " (LZRW1/KH)");
    EXPECT_TRUE(files().isEmpty());
}
#endif

// The header: the signature "WRZL" only ("!HZL" too is refused), and a
// file too short for it is a reading error.
TEST(Container, refusesFilesWithoutItsHeader)
{
    const QByteArray body = Tlzrw1::compress("abc").mid(4);
    for (const char *signature : {"!HZL", "WRZl", "LZRW", "\0\0\0\0", "WRZ\x4d"})
        EXPECT_EQ(unpackFailure(QByteArray(signature, 4) + body), "tally.tld" + NoHeader) << signature;
    for (const QByteArray &start : {QByteArray(), QByteArray("W"), QByteArray("WRZ"), QByteArray("WRZL"),
                                    QByteArray("WRZL\x03\x00\x00", 7), QByteArray("WRZL\x03\x00\x00\x00", 8),
                                    QByteArray("WRZL\x03\x00\x00\x00\x04", 9)})
        EXPECT_EQ(unpackFailure(start), ReadError + "tally.tld") << start.size();
    // Three bytes that are no header are still too short to be judged.
    EXPECT_EQ(unpackFailure("xyz"), ReadError + "tally.tld");
}

// Cutting a multi-block container anywhere before its end is a reading
// error: every field and block must be whole.
TEST(Container, everyTruncationIsAReadingError)
{
    const QByteArray container = Tlzrw1::compress(repetitiveBytes(3 * 32768 + 500, 11));
    ASSERT_LT(container.size(), 20000);
    for (qsizetype length = 0; length < container.size(); ++length)
        ASSERT_EQ(unpackFailure(container.left(length)), ReadError + "tally.tld") << length;
}

// The stored size must equal what the blocks decode to.
TEST(Container, storedSizeMustMatch)
{
    for (const QByteArray &text : {firstStartTally(), QByteArray(), randomBytes(70000, 4)}) {
        const QByteArray container = Tlzrw1::compress(text);
        const quint32 size = quint32(text.size());
        EXPECT_EQ(unpackFailure(withStoredSize(container, size + 1)), SizeMismatch);
        if (size > 0) {
            EXPECT_EQ(unpackFailure(withStoredSize(container, size - 1)), SizeMismatch);
        }
        EXPECT_EQ(unpackFailure(withStoredSize(container, 0xFFFFFFFF)), SizeMismatch);
    }
}

// Blocks that break the limits of a well-formed block are refused with the
// corrupt block message; well-formed hand-made blocks are read.
TEST(Container, refusesCorruptBlocks)
{
    const QByteArray header = hex("57525a4c 10000000");
    // Hand-made but well-formed, with the flag 0x00: a literal and a copy of
    // offset 1 and length 15.
    EXPECT_EQ(Tlzrw1::decompress(header + block(hex("00 4000 61 001c")), "x"), QByteArray(16, 'a'));
    // Length fields of 0 and 1 are empty blocks.
    EXPECT_EQ(Tlzrw1::decompress(hex("57525a4c 00000000 0000"), "x"), QByteArray());
    EXPECT_EQ(Tlzrw1::decompress(hex("57525a4c 00000000 0100 40"), "x"), QByteArray());

    const QString corrupt = CorruptBlock + "tally.tld";
    // A copy from before the start.
    EXPECT_EQ(unpackFailure(header + block(hex("40 8000 0010"))), corrupt);
    // A run cut off by the block's end, though the file goes on.
    EXPECT_EQ(unpackFailure(header + block(hex("40 8000 00")) + hex("0061 0100 80")), corrupt);
    // A reference cut after one byte, and a control word cut.
    EXPECT_EQ(unpackFailure(header + block(hex("40 8000 00"))), corrupt);
    EXPECT_EQ(unpackFailure(header + block(hex("40 80"))), corrupt);
    // A length over 32769, refused before its bytes are read.
    EXPECT_EQ(unpackFailure(header + hex("0280")), corrupt);
    EXPECT_EQ(unpackFailure(header + hex("ffff") + QByteArray(65535, '\x80')), corrupt);
    // Nine runs of 4095 in one block: past 32768 bytes.
    QByteArray runs = hex("40 ff80");
    for (int i = 0; i < 9; ++i)
        runs += hex("000fef61");
    EXPECT_EQ(unpackFailure(header + block(runs)), corrupt);
    // Thirty-two runs of 4095 over two control words: a small block that
    // would decode to 131040 bytes if it were let through.
    QByteArray bomb = hex("40 ffff");
    for (int i = 0; i < 16; ++i)
        bomb += hex("000fef61");
    bomb += hex("ffff");
    for (int i = 0; i < 16; ++i)
        bomb += hex("000fef62");
    EXPECT_EQ(unpackFailure(header + block(bomb)), corrupt);
}

// Bytes after the block that ends the text are not read.
TEST(Container, ignoresBytesAfterTheLastBlock)
{
    const QByteArray text = firstStartTally();
    EXPECT_EQ(Tlzrw1::decompress(Tlzrw1::compress(text) + "trailing", "x"), text);
}
