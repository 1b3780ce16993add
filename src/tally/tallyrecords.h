#pragma once

#include "tallybook.h"
#include "tallygrid.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

// The player's record book: four counters and the ten best games, kept in a
// tally grid, with what the tally window shows of them. The window's labels
// are modelled here, because the top-ten rule compares the scores the labels
// carry, and moves their texts, rather than reading the grid.
class TallyRecords : public QObject, public TallyBook
{
    Q_OBJECT

public:
    static constexpr int Records = 10;
    static constexpr int NoScore = -1000; // the score of an empty slot
    using enum Counter;

    // How a record row looks: bold at start, plain after a game or a reset,
    // the row just entered highlighted.
    enum class Look { Bold, Plain, Highlighted };

    struct Row {
        int value = NoScore; // the score the top-ten rule compares
        QString date;
        QString name;
        QString score; // as shown; blank for an empty slot
        Look look = Look::Bold;
    };

    explicit TallyRecords(QObject *parent = nullptr);

    TallyGrid &grid() { return m_grid; }
    const TallyGrid &grid() const { return m_grid; }
    // A counter as its label shows it.
    QString counterText(Counter counter) const { return m_counters[slotOf(counter)]; }
    // Record rows 1 to 10.
    const Row &row(int row) const { return m_rows[row - 1]; }

    // Today's date as records show it; the user's short date format.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    // The grid as it is before a tally file is read.
    void setEmpty();

    int addit(int column, int row);
    void addtomineincrease(Counter counter) override;
    void addtoit(Counter counter, int amount) override;
    void addtomineset(Counter counter, const QString &text);
    bool checkscore(int score, const QString &name) override;
    // Shows the counters and records as the grid holds them.
    void loadtally();
    // Clears the tally in memory (after the player confirmed).
    void reset();

signals:
    // Something the window shows has changed.
    void changed();

private:
    static int slotOf(Counter counter) { return int(counter) - 1; }
    static int integerOr(const QString &text, int fallback);

    TallyGrid m_grid;
    std::array<QString, 4> m_counters;
    std::array<Row, Records> m_rows;
    std::function<QDate()> m_today;
};
