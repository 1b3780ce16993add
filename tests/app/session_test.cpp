#include "session.h"
#include "tlzrw1.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct SessionFiles {
    QTemporaryDir program;
    QTemporaryDir working;

    Session::Paths paths() const { return Session::Paths{program.path(), working.path(), {}}; }
    QString tally() const { return QDir(program.path()).filePath("tarvlesolotally.tld"); }
    QString wordList() const { return QDir(working.path()).filePath("English"); }
};

} // namespace

// The session opens the word list at once; the end of the close writes the
// tally, then closes and removes the word list; a second start reads the
// tally back.
TEST(Session, finishWritesTheTallyThenRemovesTheWordList)
{
    SessionFiles files;
    {
        Session session(files.paths(), nullptr);
        EXPECT_TRUE(session.spell().opened());
        EXPECT_TRUE(QFile::exists(files.wordList()));
        EXPECT_TRUE(session.loadTally().isEmpty()); // no file yet: nothing to report
        session.tally().addtomineincrease(Counter::TotalGames);
        session.finish();
        EXPECT_TRUE(QFile::exists(files.tally()));
        EXPECT_FALSE(QFile::exists(files.wordList()));
        EXPECT_FALSE(session.spell().opened());
    }
    Session again(files.paths(), nullptr);
    EXPECT_TRUE(again.loadTally().isEmpty());
    EXPECT_EQ(again.tally().counterText(Counter::TotalGames), QStringLiteral("1"));
}

// Nothing is saved as a side effect of destruction: a session that ends
// without its close keeps no tally of that run.
TEST(Session, endingWithoutTheCloseSavesNothing)
{
    SessionFiles files;
    {
        Session session(files.paths(), nullptr);
        session.loadTally();
        session.tally().addtomineincrease(Counter::TotalGames);
    }
    EXPECT_FALSE(QFile::exists(files.tally()));
    // The word list file is the session's own and goes all the same.
    EXPECT_FALSE(QFile::exists(files.wordList()));
}

// An unreadable tally file is reported by its compressor's message, the
// records stay as the failure left them, and the close keeps the old file.
TEST(Session, unreadableTallyIsReportedAndKept)
{
    SessionFiles files;
    const QByteArray damaged("WRZL\x10\x00\x00\x00garbage", 16);
    ASSERT_TRUE(writeFile(files.tally(), damaged));
    Session session(files.paths(), nullptr);
    EXPECT_TRUE(session.loadTally().startsWith("Lzrw1"));
    EXPECT_EQ(session.tally().counterText(Counter::TotalGames), QStringLiteral("0"));
    session.finish();
    EXPECT_EQ(readFile(files.tally() + ".bad"), damaged);
}

// A tally whose text is damaged is reported in words that name the file
// and say it is kept; the close keeps it and writes a small fresh tally.
TEST(Session, damagedTallyTextIsReportedInWords)
{
    SessionFiles files;
    const QByteArray damaged = Tlzrw1::compress("10000\r\n10000\r\n");
    ASSERT_TRUE(writeFile(files.tally(), damaged));
    Session session(files.paths(), nullptr);
    const QString error = session.loadTally();
    EXPECT_TRUE(error.startsWith("The tally file " + QDir::toNativeSeparators(files.tally()) + " cannot be read: "))
        << error.toStdString();
    EXPECT_TRUE(error.endsWith(" is kept as " + QDir::toNativeSeparators(files.tally()) + ".bad when the game closes."))
        << error.toStdString();
    session.finish();
    EXPECT_EQ(readFile(files.tally() + ".bad"), damaged);
    EXPECT_EQ(readFile(files.tally()).size(), 73);
}

// The version the about window shows and the update check compares.
TEST(Session, versionIsTheBuilds)
{
    EXPECT_EQ(Session::version(), QStringLiteral("1.0.0"));
}
