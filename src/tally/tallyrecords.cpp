#include "tallyrecords.h"

#include <QLocale>

TallyRecords::TallyRecords(QObject *parent)
    : QObject(parent)
    , m_today([] { return QDate::currentDate(); })
{
    setEmpty();
}

int TallyRecords::integerOr(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

void TallyRecords::setEmpty()
{
    m_grid.setRowCount(TallyGrid::Rows);
    for (int column = 0; column <= int(Average); ++column)
        m_grid.setCell(column, 0, QStringLiteral("0"));
    for (int row = 1; row <= Records; ++row) {
        m_grid.setCell(0, row, QString());
        m_grid.setCell(1, row, QString::number(NoScore));
        m_grid.setCell(2, row, QString());
    }
}

int TallyRecords::addit(int column, int row)
{
    // A damaged counter counts as 0, so a game can always start.
    const int value = integerOr(m_grid.cell(column, row), 0) + 1;
    m_grid.setCell(column, row, QString::number(value));
    return value;
}

void TallyRecords::addtomineincrease(Counter counter)
{
    m_counters[slotOf(counter)] = QString::number(addit(int(counter), 0));
    emit changed();
}

void TallyRecords::addtoit(Counter counter, int amount)
{
    const int sum = integerOr(m_grid.cell(int(counter), 0), 0) + amount;
    m_grid.setCell(int(counter), 0, QString::number(sum));
    m_counters[slotOf(counter)] = QString::number(sum);
    const int games = integerOr(m_grid.cell(int(TotalGames), 0), 0);
    const int average = games == 0 ? 0 : sum / games;
    m_grid.setCell(int(Average), 0, QString::number(average));
    m_counters[slotOf(Average)] = QString::number(average);
    emit changed();
}

void TallyRecords::addtomineset(Counter counter, const QString &text)
{
    m_grid.setCell(int(counter), 0, text);
    m_counters[slotOf(counter)] = text;
    emit changed();
}

bool TallyRecords::checkscore(int score, const QString &name)
{
    for (Row &row : m_rows)
        row.look = Look::Plain;
    // Equal scores: the newest goes above the older ones.
    int at = 1;
    while (at <= Records && m_rows[at - 1].value > score)
        ++at;
    if (at > Records) {
        emit changed();
        return false;
    }
    for (int row = Records; row > at; --row) {
        m_rows[row - 1] = m_rows[row - 2];
        for (int column = 0; column <= 2; ++column)
            m_grid.setCell(column, row, m_grid.cell(column, row - 1));
    }
    Row &entered = m_rows[at - 1];
    entered.value = score;
    entered.score = QString::number(score);
    entered.date = QLocale::system().toString(m_today(), QLocale::ShortFormat);
    entered.name = name;
    entered.look = Look::Highlighted;
    m_grid.setCell(0, at, entered.date);
    m_grid.setCell(1, at, entered.score);
    m_grid.setCell(2, at, entered.name);
    emit changed();
    return true;
}

void TallyRecords::loadtally()
{
    for (Counter counter : AllCounters)
        m_counters[slotOf(counter)] = m_grid.cell(int(counter), 0);
    for (int i = 1; i <= Records; ++i) {
        if (m_grid.cell(1, i).isEmpty())
            m_grid.setCell(1, i, QString::number(NoScore));
        Row &row = m_rows[i - 1];
        row.date = m_grid.cell(0, i);
        row.name = m_grid.cell(2, i);
        // A score that is not a number counts as an empty slot; its text
        // stays in the grid.
        row.value = integerOr(m_grid.cell(1, i), NoScore);
        row.score = row.value <= NoScore ? QString() : m_grid.cell(1, i);
    }
    emit changed();
}

void TallyRecords::reset()
{
    m_grid.setRowCount(TallyGrid::Rows);
    for (QString &counter : m_counters)
        counter = QStringLiteral("0");
    for (int column = 1; column < TallyGrid::Columns; ++column)
        m_grid.setCell(column, 0, QStringLiteral("0"));
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        m_grid.setCell(0, row, QString());
        m_grid.setCell(1, row, QString::number(NoScore));
        m_grid.setCell(2, row, QString());
    }
    for (Row &row : m_rows)
        row = Row{NoScore, QString(), QString(), QString(), Look::Plain};
    emit changed();
}
