#include "elzrw1exception.h"
#include "tallyfile.h"
#include "tallygrid.h"
#include "tallyrecords.h"
#include "tlzrw1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tallycontainers.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

// The empty tally of a first start is the 73-byte file, and a tally read
// back from its file is the tally that was saved.
TEST(TallyFile, saveAndLoad)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tarvlesolotally.tld");
    TallyRecords records;
    TallyFile file(path);
    file.load(records.grid()); // no file yet: nothing happens
    records.loadtally();
    ASSERT_TRUE(file.save(records.grid()));
    EXPECT_EQ(readFile(path).size(), 73);

    records.addtomineincrease(TallyRecords::TotalGames);
    records.checkscore(12, QStringLiteral("Ann Lee"));
    ASSERT_TRUE(file.save(records.grid()));
    TallyRecords back;
    TallyFile(path).load(back.grid());
    back.loadtally();
    EXPECT_EQ(back.counterText(TallyRecords::TotalGames), QStringLiteral("1"));
    EXPECT_EQ(back.row(1).name, QStringLiteral("Ann Lee"));
    EXPECT_EQ(back.row(1).value, 12);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"tarvlesolotally.tld"})
        << "no intermediate text file is left anywhere";
}

// A file that cannot be read fails the load with the compressor's message
// and is kept as ".bad" at the next save, replacing an older one.
TEST(TallyFile, unreadableFileIsKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tarvlesolotally.tld");
    ASSERT_TRUE(writeFile(path, QByteArray("!HZL\x03\0\0\0abc", 11)));
    ASSERT_TRUE(writeFile(path + ".bad", "older"));
    TallyRecords records;
    TallyFile file(path);
    try {
        file.load(records.grid());
        FAIL() << "no error";
    } catch (const ELzrw1Exception &e) {
        EXPECT_EQ(e.message(), path + " : Lzrw1 decompression : this file has no valid header !");
    }
    ASSERT_TRUE(file.save(records.grid()));
    EXPECT_EQ(readFile(path + ".bad"), QByteArray("!HZL\x03\0\0\0abc", 11));
    EXPECT_EQ(readFile(path).size(), 73);

    // A text that is not a grid's fails in the text reader.
    ASSERT_TRUE(writeFile(path, [] {
        TallyGrid grid;
        grid.setCell(0, 0, QStringLiteral("x"));
        QByteArray text = grid.savegrid();
        text.replace(0, 1, "nine");
        return Tlzrw1::compress(text);
    }()));
    EXPECT_THROW(TallyFile(path).load(records.grid()), TallyTextError);
}

namespace {

QString loadError(const QString &path, TallyGrid &grid)
{
    try {
        TallyFile(path).load(grid);
    } catch (const TallyTextError &e) {
        return QString::fromUtf8(e.what());
    } catch (const ELzrw1Exception &e) {
        return "compressor: " + e.message();
    }
    return {};
}

} // namespace

// A damaged file costs bounded memory: a text beyond MaxTextSize or a grid
// beyond MaxCells is refused before it is built, with a message that names
// the file and says it is kept; the grid is left as it was.
TEST(TallyFile, damagedFilesAreRefusedWithinLimits)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tarvlesolotally.tld");
    const QString kept = " The file is kept as " + path + ".bad when the game closes.";

    // 10 MB of zeros in a container of 13 KB.
    ASSERT_TRUE(writeFile(path, zeroBlocks(320)));
    TallyGrid grid;
    grid.setCell(0, 0, "untouched");
    EXPECT_EQ(loadError(path, grid), "The tally file " + path
                                         + " cannot be read: it unpacks to more than 1048576 bytes, and a tally "
                                           "is a few hundred." + kept);
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral("untouched"));

    // A 24-byte container asking for a grid of 100 million cells.
    ASSERT_TRUE(writeFile(path, Tlzrw1::compress("10000\r\n10000\r\n")));
    EXPECT_EQ(loadError(path, grid), "The tally file " + path
                                         + " cannot be read: it describes a grid of 10000 × 12 cells, more than "
                                           "the 10000 a tally may have." + kept);
    EXPECT_EQ(grid.columnCount(), TallyGrid::Columns);
    EXPECT_EQ(grid.rowCount(), TallyGrid::Rows);

    ASSERT_TRUE(writeFile(path, Tlzrw1::compress("9\r\n10000\r\n")));
    EXPECT_TRUE(loadError(path, grid).contains("a grid of 9 × 10000 cells"));
    EXPECT_EQ(grid.rowCount(), TallyGrid::Rows);

    // The text reader's own errors, said of the file.
    ASSERT_TRUE(writeFile(path, Tlzrw1::compress("9\r\n12\r\nfirst\r\n")));
    EXPECT_EQ(loadError(path, grid), "The tally file " + path
                                         + " cannot be read: its text ends after line 3, before its last cell." + kept);
    ASSERT_TRUE(writeFile(path, Tlzrw1::compress("9\r\nmany\r\n")));
    EXPECT_TRUE(loadError(path, grid).contains(": line 2 holds \"many\" where a grid size belongs."));

    // A grid within the limits is read as it says.
    TallyGrid wide;
    wide.setColumnCount(100);
    wide.setRowCount(100);
    wide.setCell(99, 99, "corner");
    ASSERT_TRUE(writeFile(path, Tlzrw1::compress(wide.savegrid())));
    EXPECT_EQ(loadError(path, grid), QString());
    EXPECT_EQ(grid.cell(99, 99), QStringLiteral("corner"));
}

// The text is 8-bit: a name written as "Zo\xEB" is shown as "Zoë" and saved
// back as the same byte; a name beyond Latin-1 survives a save and a load.
TEST(TallyFile, namesAreKeptByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tarvlesolotally.tld");
    TallyRecords records;
    records.loadtally();
    records.checkscore(40, QStringLiteral("Ann"));
    QByteArray text = records.grid().savegrid();
    text.replace("\r\nAnn\r\n", "\r\nZo\xEB\r\n");
    const QByteArray container = Tlzrw1::compress(text);
    ASSERT_TRUE(writeFile(path, container));

    TallyRecords back;
    TallyFile file(path);
    file.load(back.grid());
    back.loadtally();
    EXPECT_EQ(back.row(1).name, QStringLiteral(u"Zoë"));
    ASSERT_TRUE(file.save(back.grid()));
    EXPECT_EQ(readFile(path), container);

    back.checkscore(50, QStringLiteral(u"Łukasz ☺"));
    ASSERT_TRUE(file.save(back.grid()));
    TallyRecords again;
    TallyFile(path).load(again.grid());
    again.loadtally();
    EXPECT_EQ(again.row(1).name, QStringLiteral(u"Łukasz ☺"));
    EXPECT_EQ(again.row(2).name, QStringLiteral(u"Zoë"));
}

// A save that fails half way leaves the previous tally file whole.
TEST(TallyFile, failedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tarvlesolotally.tld");
    TallyRecords records;
    ASSERT_TRUE(TallyFile(path).save(records.grid()));
    const QByteArray before = readFile(path);

    records.checkscore(99, QString(200, QLatin1Char('n')));
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool savedOk = TallyFile(path).save(records.grid());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedOk);
    EXPECT_EQ(readFile(path), before);
}
