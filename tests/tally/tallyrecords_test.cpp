#include "tallygrid.h"
#include "tallyrecords.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

const QDate today(2013, 12, 25);

class Tally : public ::testing::Test
{
protected:
    void SetUp() override
    {
        records.setToday([] { return today; });
        records.loadtally();
    }

    QList<int> scores() const
    {
        QList<int> values;
        for (int row = 1; row <= TallyRecords::Records; ++row)
            values << records.row(row).value;
        return values;
    }

    void fill(std::initializer_list<int> values)
    {
        for (int value : values)
            records.checkscore(value, QStringLiteral("p%1").arg(value));
    }

    TallyRecords records;
};

} // namespace

// A first start shows zero counters and ten blank rows in bold.
TEST_F(Tally, emptyTally)
{
    for (Counter counter : AllCounters)
        EXPECT_EQ(records.counterText(counter), QStringLiteral("0"));
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(records.row(row).value, -1000);
        EXPECT_TRUE(records.row(row).score.isEmpty());
        EXPECT_TRUE(records.row(row).date.isEmpty());
        EXPECT_EQ(records.row(row).look, TallyRecords::Look::Bold);
        EXPECT_EQ(records.grid().cell(1, row), QStringLiteral("-1000"));
    }
    EXPECT_EQ(records.grid().savegrid().size(), 278);
}

// While fewer than ten records exist every game enters, 0 included; equal
// scores go above the older ones; the rows stay in descending order.
TEST_F(Tally, topTenOrder)
{
    EXPECT_TRUE(records.checkscore(0, QStringLiteral("Zero")));
    EXPECT_TRUE(records.checkscore(50, QStringLiteral("First")));
    EXPECT_TRUE(records.checkscore(30, QStringLiteral("Older")));
    EXPECT_TRUE(records.checkscore(30, QStringLiteral("Newer")));
    EXPECT_EQ(scores().mid(0, 5), (QList<int>{50, 30, 30, 0, -1000}));
    EXPECT_EQ(records.row(2).name, QStringLiteral("Newer"));
    EXPECT_EQ(records.row(3).name, QStringLiteral("Older"));
    EXPECT_EQ(records.row(2).date, QLocale::system().toString(today, QLocale::ShortFormat));
    EXPECT_EQ(records.grid().cell(2, 2), QStringLiteral("Newer"));
    EXPECT_EQ(records.grid().cell(1, 4), QStringLiteral("0"));
    // Only the newest row stands out.
    EXPECT_EQ(records.row(2).look, TallyRecords::Look::Highlighted);
    EXPECT_EQ(records.row(1).look, TallyRecords::Look::Plain);
}

// With ten records a score equal to the tenth replaces it, one below enters
// nothing but still takes every highlight away, and a new best pushes the
// old tenth out.
TEST_F(Tally, fullTable)
{
    fill({100, 90, 80, 70, 60, 50, 40, 30, 20, 10});
    EXPECT_TRUE(records.checkscore(10, QStringLiteral("Tie")));
    EXPECT_EQ(records.row(10).name, QStringLiteral("Tie"));
    EXPECT_EQ(records.row(9).value, 20);

    EXPECT_FALSE(records.checkscore(9, QStringLiteral("Low")));
    EXPECT_EQ(scores(), (QList<int>{100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
    for (int row = 1; row <= 10; ++row)
        EXPECT_EQ(records.row(row).look, TallyRecords::Look::Plain) << row;

    EXPECT_TRUE(records.checkscore(500, QStringLiteral("Best")));
    EXPECT_EQ(scores(), (QList<int>{500, 100, 90, 80, 70, 60, 50, 40, 30, 20}));
    EXPECT_EQ(records.row(1).name, QStringLiteral("Best"));
    EXPECT_EQ(records.grid().cell(2, 2), QStringLiteral("p100"));
    EXPECT_EQ(records.grid().cell(1, 10), QStringLiteral("20"));
}

// The average is the running total over the games, truncated; a game never
// finished lowers it.
TEST_F(Tally, countersAndAverage)
{
    records.addtomineincrease(TallyRecords::TotalGames);
    records.addtomineincrease(TallyRecords::TotalGames);
    records.addtoit(TallyRecords::RunningTotal, 7);
    EXPECT_EQ(records.counterText(TallyRecords::RunningTotal), QStringLiteral("7"));
    EXPECT_EQ(records.counterText(TallyRecords::Average), QStringLiteral("3"));
    EXPECT_EQ(records.grid().cell(4, 0), QStringLiteral("3"));
    records.addtomineincrease(TallyRecords::WordsFound);
    EXPECT_EQ(records.grid().cell(2, 0), QStringLiteral("1"));
    records.addtomineset(TallyRecords::WordsFound, QStringLiteral("40"));
    EXPECT_EQ(records.counterText(TallyRecords::WordsFound), QStringLiteral("40"));
}

// A reset during a game: the running total becomes that game's score and
// the average 0, since no game was counted after the reset.
TEST_F(Tally, resetDuringAGame)
{
    records.addtomineincrease(TallyRecords::TotalGames);
    fill({40, 20});
    records.reset();
    for (Counter counter : AllCounters)
        EXPECT_EQ(records.counterText(counter), QStringLiteral("0"));
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(records.row(row).value, -1000);
        EXPECT_TRUE(records.row(row).name.isEmpty());
        EXPECT_EQ(records.row(row).look, TallyRecords::Look::Plain);
    }
    EXPECT_EQ(records.grid().cell(5, 0), QStringLiteral("0"));
    EXPECT_EQ(records.grid().cell(1, 11), QStringLiteral("-1000"));
    records.checkscore(25, QString());
    records.addtoit(TallyRecords::RunningTotal, 25);
    EXPECT_EQ(records.counterText(TallyRecords::RunningTotal), QStringLiteral("25"));
    EXPECT_EQ(records.counterText(TallyRecords::Average), QStringLiteral("0"));
    EXPECT_EQ(records.row(1).name, QString()) << "an empty name is entered empty";
}

// A damaged counter counts as 0, so starting a game and accepting a word
// always work; a damaged score counts as an empty slot but keeps its text.
TEST_F(Tally, damagedCells)
{
    records.grid().setCell(1, 0, QStringLiteral("lots"));
    records.grid().setCell(2, 0, QString());
    records.grid().setCell(1, 3, QStringLiteral("12x"));
    records.grid().setCell(1, 4, QString());
    records.loadtally();
    EXPECT_EQ(records.row(3).value, -1000);
    EXPECT_TRUE(records.row(3).score.isEmpty());
    EXPECT_EQ(records.grid().cell(1, 3), QStringLiteral("12x"));
    EXPECT_EQ(records.grid().cell(1, 4), QStringLiteral("-1000"));
    records.addtomineincrease(TallyRecords::TotalGames);
    records.addtomineincrease(TallyRecords::WordsFound);
    EXPECT_EQ(records.counterText(TallyRecords::TotalGames), QStringLiteral("1"));
    EXPECT_EQ(records.counterText(TallyRecords::WordsFound), QStringLiteral("1"));
}

// The grid's text form round-trips, and a text with other counts resizes
// the grid; a bad count line or a short text is an error that keeps what
// was read before it.
TEST(TallyGridText, saveAndLoad)
{
    TallyGrid grid;
    grid.setCell(2, 5, QStringLiteral("Zoë"));
    grid.setCell(8, 11, QStringLiteral("last"));
    const QByteArray text = grid.savegrid();
    EXPECT_TRUE(text.startsWith("9\r\n12\r\n"));
    EXPECT_EQ(text.count("\r\n"), 110);

    TallyGrid back;
    back.loadgrid(text);
    EXPECT_EQ(back.cell(2, 5), QStringLiteral("Zoë"));
    EXPECT_EQ(back.cell(8, 11), QStringLiteral("last"));

    TallyGrid other;
    other.loadgrid("2\n3\na\nb\nc\nd\ne\nf\n");
    EXPECT_EQ(other.columnCount(), 2);
    EXPECT_EQ(other.rowCount(), 3);
    EXPECT_EQ(other.cell(1, 2), QStringLiteral("f"));

    TallyGrid bad;
    EXPECT_THROW(bad.loadgrid("nine\r\n12\r\n"), TallyTextError);
    EXPECT_THROW(bad.loadgrid("9\r\n-4\r\n"), TallyTextError);
    EXPECT_THROW(bad.loadgrid("999999999\r\n12\r\n"), TallyTextError);
    TallyGrid shortText;
    shortText.setCell(0, 0, QStringLiteral("before"));
    EXPECT_THROW(shortText.loadgrid("9\r\n12\r\nfirst\r\n"), TallyTextError);
    EXPECT_EQ(shortText.cell(0, 0), QStringLiteral("first"));
}
