#include "tallygrid.h"

#include <algorithm>

namespace {

// Reads the text form line by line; a line ends at CR LF or LF.
class LineReader
{
public:
    explicit LineReader(const QByteArray &text)
        : m_text(text)
    {
    }

    QString next()
    {
        if (m_at >= m_text.size())
            throw TallyTextError("Read beyond end of file");
        qsizetype end = m_text.indexOf('\n', m_at);
        if (end < 0)
            end = m_text.size();
        QByteArray line = m_text.mid(m_at, end - m_at);
        if (line.endsWith('\r'))
            line.chop(1);
        m_at = end + 1;
        return QString::fromUtf8(line);
    }

    int nextCount()
    {
        const QString line = next();
        bool ok = false;
        const int count = line.trimmed().toInt(&ok);
        if (!ok)
            throw TallyTextError(("'" + line + "' is not a valid integer value").toStdString());
        // A count no tally grid can have: the text is damaged.
        if (count < 0 || count > MaxCount)
            throw TallyTextError(("'" + line + "' is not a valid grid size").toStdString());
        return count;
    }

private:
    static constexpr int MaxCount = 10000;

    const QByteArray &m_text;
    qsizetype m_at = 0;
};

} // namespace

TallyGrid::TallyGrid()
    : m_cells(Columns * Rows)
{
}

void TallyGrid::setColumnCount(int columns)
{
    QList<QString> cells(qsizetype(columns) * m_rows);
    for (int c = 0; c < std::min(columns, m_columns); ++c)
        for (int r = 0; r < m_rows; ++r)
            cells[c * m_rows + r] = cell(c, r);
    m_columns = columns;
    m_cells = cells;
}

void TallyGrid::setRowCount(int rows)
{
    QList<QString> cells(qsizetype(m_columns) * rows);
    for (int c = 0; c < m_columns; ++c)
        for (int r = 0; r < std::min(rows, m_rows); ++r)
            cells[c * rows + r] = cell(c, r);
    m_rows = rows;
    m_cells = cells;
}

QString TallyGrid::cell(int column, int row) const
{
    if (column < 0 || column >= m_columns || row < 0 || row >= m_rows)
        return {};
    return m_cells[column * m_rows + row];
}

void TallyGrid::setCell(int column, int row, const QString &text)
{
    if (column < 0 || column >= m_columns || row < 0 || row >= m_rows)
        return;
    m_cells[column * m_rows + row] = text;
}

QByteArray TallyGrid::savegrid() const
{
    QByteArray text = QByteArray::number(m_columns) + "\r\n" + QByteArray::number(m_rows) + "\r\n";
    for (const QString &cell : m_cells)
        text += cell.toUtf8() + "\r\n";
    return text;
}

void TallyGrid::loadgrid(const QByteArray &text)
{
    LineReader reader(text);
    setColumnCount(reader.nextCount());
    setRowCount(reader.nextCount());
    for (int column = 0; column < m_columns; ++column)
        for (int row = 0; row < m_rows; ++row)
            setCell(column, row, reader.next());
}
