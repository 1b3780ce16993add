#include "elzrw1exception.h"
#include "tallyfile.h"
#include "tallygrid.h"
#include "tallyrecords.h"
#include "tlzrw1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
