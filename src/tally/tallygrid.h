#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>

// The tally text could not be read back into the grid.
class TallyTextError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A grid of text cells: the tally in memory. Row 0 holds the counters,
// rows 1 to 10 the ten best games (date, score, name).
class TallyGrid
{
public:
    static constexpr int Columns = 9;
    static constexpr int Rows = 12;
    // The most cells a text may ask for: far above the tally's 108, and
    // little memory.
    static constexpr qint64 MaxCells = 10000;

    TallyGrid();

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_rows; }
    void setColumnCount(int columns);
    void setRowCount(int rows);

    // Cells outside the grid read as empty and ignore writes.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);

    // The text form: the column count, the row count, then every cell on a
    // line of its own, column by column; lines end in CR LF.
    QByteArray savegrid() const;
    // Reads the text form. On a failure the counts and cells read so far
    // keep their new values. A count that would make more than MaxCells
    // cells is refused before the grid is resized.
    void loadgrid(const QByteArray &text);

private:
    int m_columns = Columns;
    int m_rows = Rows;
    QList<QString> m_cells; // column * m_rows + row
};
