#include "tallygrid.h"

#include "eightbittext.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TallyGrid", text);
}

// Reads the text form line by line; a line ends at CR LF or LF. The errors
// say what is wrong in words the tally file's message can quote.
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
            throw TallyTextError(tr("its text ends after line %1, before its last cell").arg(m_line).toStdString());
        qsizetype end = m_text.indexOf('\n', m_at);
        if (end < 0)
            end = m_text.size();
        QByteArray line = m_text.mid(m_at, end - m_at);
        if (line.endsWith('\r'))
            line.chop(1);
        m_at = end + 1;
        ++m_line;
        return EightBitText::decode(line);
    }

    int nextCount()
    {
        const QString line = next();
        bool ok = false;
        const int count = line.trimmed().toInt(&ok);
        if (!ok || count < 0)
            throw TallyTextError(tr("line %1 holds \"%2\" where a grid size belongs").arg(m_line).arg(line.left(40)).toStdString());
        return count;
    }

    int line() const { return m_line; }

private:
    const QByteArray &m_text;
    qsizetype m_at = 0;
    int m_line = 0;
};

// A grid beyond the limit would cost memory in proportion to a number that
// a damaged file can make as large as it likes.
void checkCells(qint64 columns, qint64 rows)
{
    if (columns * rows > TallyGrid::MaxCells)
        throw TallyTextError(tr("it describes a grid of %1 × %2 cells, more than the %3 a tally may have")
                                 .arg(columns)
                                 .arg(rows)
                                 .arg(TallyGrid::MaxCells)
                                 .toStdString());
}

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
        text += EightBitText::encode(cell) + "\r\n";
    return text;
}

void TallyGrid::loadgrid(const QByteArray &text)
{
    LineReader reader(text);
    const int columns = reader.nextCount();
    // The old rows apply until the row count is read: the grid never holds
    // more than MaxCells cells, not even for a moment.
    checkCells(columns, std::max(m_rows, 1));
    setColumnCount(columns);
    const int rows = reader.nextCount();
    checkCells(m_columns, rows);
    setRowCount(rows);
    for (int column = 0; column < m_columns; ++column)
        for (int row = 0; row < m_rows; ++row)
            setCell(column, row, reader.next());
}
