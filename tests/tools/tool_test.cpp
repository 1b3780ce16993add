#include "tallyfile.h"
#include "tallyrecords.h"
#include "toolrun.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// lookup answers each word from the built-in list, one line per word, in
// the order given and as the word was written.
TEST(ToolLookup, answersFromTheBuiltInList)
{
    const ToolRun run = tool({"lookup", "cat", "ZYMURGY", "xqzt", "  stone ", "aa"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("cat yes\nZYMURGY yes\nxqzt no\n  stone  yes\naa yes\n"));
}

// Bad arguments exit with status 2 and a usage line on stderr.
TEST(ToolLookup, badArguments)
{
    for (const QStringList &args : {QStringList{}, QStringList{"lookup"}, QStringList{"frobnicate", "x"}}) {
        const ToolRun run = tool(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage: tarvle-tool"))) << run.err.toStdString();
    }
}

// route types the letters on a board given in reading order: each letter
// placed, refused or ignored, then the cells of the word as column,row.
TEST(ToolRoute, typesLettersOnTheBoard)
{
    const QString board = QStringLiteral(
        "caxxxxxx"
        "xxxxxxxx"
        "xxxxxxxx"
        "xxxxxxxx"
        "xxxxxcxx"
        "xxxxxaxx"
        "xxxxxtxx"
        "xxxxxxxz");
    const ToolRun run = tool({"route", board, "catqz"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("C placed\nA placed\nT placed\nQ invalid\nZ invalid\nword: 5,4 5,5 5,6\n"));

    const ToolRun none = tool({"route", board, "q"});
    EXPECT_EQ(none.out, QStringLiteral("Q ignored\nword:\n"));

    const ToolRun full = tool({"route", QString(64, QLatin1Char('a')), "aaaaaaaaaaaaa"});
    EXPECT_TRUE(full.out.endsWith(QStringLiteral("A placed\nA ignored\nword: 0,0 0,1 0,2 0,3 0,4 0,5 0,6 0,7 1,6 1,5 1,4 1,3\n")))
        << full.out.toStdString();
}

// Typing goes on past twelve letters as the keyboard does: the word is full,
// so the thirteenth letter on is ignored even where it would touch.
TEST(ToolRoute, ignoresEveryLetterPastTwelve)
{
    const QString board = QStringLiteral(
        "abcdefgh"
        "ponmlkji"
        "qrstuvwx"
        "yzyzyzyz"
        "xxxxxxxx"
        "xxxxxxxx"
        "xxxxxxxx"
        "xxxxxxxx");
    const ToolRun run = tool({"route", board, "abcdefghijklmnopqrst"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    QStringList expected;
    for (char letter = 'A'; letter <= 'L'; ++letter)
        expected << QStringLiteral("%1 placed").arg(QLatin1Char(letter));
    for (char letter = 'M'; letter <= 'T'; ++letter)
        expected << QStringLiteral("%1 ignored").arg(QLatin1Char(letter));
    expected << QStringLiteral("word: 0,0 1,0 2,0 3,0 4,0 5,0 6,0 7,0 7,1 6,1 5,1 4,1") << QString();
    EXPECT_EQ(run.out.split(QLatin1Char('\n')), expected);
}

// A board that is not 64 letters, or letters that are not a..z, are bad arguments.
TEST(ToolRoute, badArguments)
{
    for (const QStringList &args : {QStringList{"route", "abc", "a"}, QStringList{"route", QString(64, 'a'), "a1"},
                                    QStringList{"route", QString(63, 'a') + "!", "a"}, QStringList{"route"}}) {
        const ToolRun run = tool(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// tally show prints the four counters and the ten ranks of a tally file;
// a damaged file fails with the compressor's message.
TEST(ToolTally, showsCountersAndRecords)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.tld");
    {
        TallyRecords records;
        records.setToday([] { return QDate(2014, 3, 5); });
        records.addtomineincrease(TallyRecords::TotalGames);
        records.checkscore(42, QStringLiteral("Ann Lee"));
        records.addtoit(TallyRecords::RunningTotal, 42);
        ASSERT_TRUE(TallyFile(path).save(records.grid()));
    }
    const ToolRun run = tool({"tally", "show", path});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n');
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"Total Games: 1", "Words Found: 0", "Running Total Score: 42",
                                            "Average Game Score: 42"}));
    EXPECT_TRUE(lines[4].startsWith("1.\t") && lines[4].endsWith("\tAnn Lee\t42")) << lines[4].toStdString();
    EXPECT_EQ(lines[5], QStringLiteral("2."));
    EXPECT_EQ(lines[13], QStringLiteral("10."));

    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("WRZL");
    damaged.close();
    const ToolRun bad = tool({"tally", "show", path});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.contains("Error reading from input file")) << bad.err.toStdString();
    EXPECT_EQ(tool({"tally", "view", path}).status, 2);
}

// sign prints one line that OpenSSL itself verifies as the file's Ed25519
// signature by the key; a key that is no private key fails with a message.
TEST(ToolSign, signsWithTheKey)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("setup.sh");
    QFile data(file);
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("#!/bin/sh\necho installed\n");
    data.close();

    const ToolRun signed_ = tool({"sign", TARVLE_DEV_KEY, file});
    ASSERT_EQ(signed_.status, 0) << signed_.err.toStdString();
    const QStringList lines = signed_.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1);
    QFile raw(dir.filePath("sig.bin"));
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write(QByteArray::fromBase64(lines[0].toLatin1()));
    raw.close();
    EXPECT_EQ(QByteArray::fromBase64(lines[0].toLatin1()).size(), 64);
    QProcess openssl;
    openssl.start("openssl", {"pkeyutl", "-verify", "-pubin", "-inkey", TARVLE_DEV_PUBLIC_KEY, "-rawin", "-in", file,
                              "-sigfile", raw.fileName()});
    ASSERT_TRUE(openssl.waitForFinished(20000));
    EXPECT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardOutput().constData();

    const ToolRun publicKey = tool({"sign", TARVLE_DEV_PUBLIC_KEY, file});
    EXPECT_EQ(publicKey.status, 1);
    EXPECT_TRUE(publicKey.err.contains("not an Ed25519 private key")) << publicKey.err.toStdString();
    EXPECT_EQ(tool({"sign", TARVLE_DEV_KEY}).status, 2);
}

// deal prints the 64 letters of a code's board in reading order on one
// line; a code read in lower case or with its lookalikes deals the same.
TEST(ToolDeal, printsTheBoardOfACode)
{
    const ToolRun run = tool({"deal", "00000000"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("raereliftugituuwotkgdksaengennroieawrmoisiahdetlcoeuhrnnazadrtai\n"));
    EXPECT_EQ(tool({"deal", "oooooooo"}).out, run.out);

    const ToolRun upper = tool({"deal", "K1LL0ABZ"});
    EXPECT_EQ(tool({"deal", "killoabz"}).out, upper.out);
    EXPECT_EQ(tool({"deal", "K1110ABZ"}).out, upper.out);
    EXPECT_EQ(upper.out.size(), 65);
    EXPECT_NE(upper.out, run.out);
}

// A malformed code is a bad argument with the reason on stderr.
TEST(ToolDeal, refusesMalformedCodes)
{
    const ToolRun letter = tool({"deal", "ABCDEFGU"});
    EXPECT_EQ(letter.status, 2);
    EXPECT_TRUE(letter.out.isEmpty());
    EXPECT_EQ(letter.err, QStringLiteral("tarvle-tool: 'U' is not a board code character (a code uses 0-9 and A-Z, but not U).\n"));
    const ToolRun shortCode = tool({"deal", "ABC"});
    EXPECT_EQ(shortCode.status, 2);
    EXPECT_EQ(shortCode.err, QStringLiteral("tarvle-tool: A board code has 8 characters; this one has 3.\n"));
    EXPECT_EQ(tool({"deal", QString::fromUtf8("ABCDEFG\u00c4")}).status, 2);
    EXPECT_EQ(tool({"deal"}).status, 2);
    EXPECT_EQ(tool({"deal", "00000000", "00000001"}).status, 2);
}

// daily prints the code of a date's board, today's (UTC) without a date.
TEST(ToolDaily, printsTheCodeOfTheDay)
{
    const ToolRun run = tool({"daily", "2025-03-14"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Q3XV74EJ\n"));
    EXPECT_NE(tool({"daily", "2025-03-15"}).out, run.out);

    const QString before = QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate);
    const ToolRun today = tool({"daily"});
    const QString after = QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate);
    EXPECT_EQ(today.status, 0);
    // Midnight may pass between the two reads.
    EXPECT_TRUE(today.out == tool({"daily", before}).out || today.out == tool({"daily", after}).out)
        << today.out.toStdString();

    for (const char *bad : {"2025-02-30", "14.03.2025", "2025-3-14", "today"}) {
        const ToolRun refused = tool({"daily", bad});
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_TRUE(refused.out.isEmpty());
        EXPECT_TRUE(refused.err.contains("is not a date YYYY-MM-DD")) << refused.err.toStdString();
    }
    EXPECT_EQ(tool({"daily", "2025-03-14", "2025-03-15"}).status, 2);
}

// solve lists each board's words, one line each with its points and a path
// as route writes cells, then the total; boards follow one another.
TEST(ToolSolve, listsTheWordsOfEachBoard)
{
    const QString board = QStringLiteral("ca") + QString(6, 'q') + QStringLiteral("t") + QString(55, 'q');
    const ToolRun run = tool({"solve", board, QString(64, 'q'), board.toUpper()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QString block = QStringLiteral("ACT 1 1,0 0,0 0,1\n"
                                         "CAT 1 0,0 1,0 0,1\n"
                                         "QAT 1 1,1 1,0 0,1\n"
                                         "total: 3 words, 3 points\n");
    EXPECT_EQ(run.out, block + QStringLiteral("total: 0 words, 0 points\n") + block);
}

// A board that is not 64 letters stops solve before anything is printed.
TEST(ToolSolve, refusesBadBoards)
{
    for (const QStringList &args : {QStringList{"solve"}, QStringList{"solve", QString(64, 'a'), "abc"},
                                    QStringList{"solve", QString(63, 'a') + "1"}}) {
        const ToolRun run = tool(args);
        EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_TRUE(tool({"solve", "abc"}).err.contains("'abc' is not a BOARD of 64 letters"));
}
