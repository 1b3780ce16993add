#include "accessibility.h"

#include "artwork.h"
#include "board.h"
#include "boardview.h"
#include "lettercodes.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QPointer>
#include <QWindow>


namespace {

constexpr int Side = Board::Size;

QString tr(const char *text)
{
    return QCoreApplication::translate("Accessibility", text);
}

QString letterText(int code)
{
    return rules::isLetter(code) ? QString(QLatin1Char(rules::letterChar(code))).toUpper() : QString();
}

int slotOf(const Board &board, int column, int row)
{
    for (int slot = 1; slot <= board.wordlength(); ++slot) {
        const Cell cell = board.wordslot(slot);
        if (cell.column == column && cell.row == row)
            return slot;
    }
    return 0;
}

// One cell of the board's table; kept by the table for its whole life.
class BoardCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    BoardCellAccessible(BoardView *view, int column, int row)
        : m_view(view)
        , m_column(column)
        , m_row(row)
    {
    }

    bool isValid() const override { return m_view; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::Cell; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_view)
            return {};
        if (t == QAccessible::Name)
            return letterText(m_view->board().boardletters(m_column, m_row));
        if (t == QAccessible::Description)
            return Accessibility::placeOf(m_column, m_row);
        return {};
    }

    QRect rect() const override
    {
        if (!m_view)
            return {};
        const QRect tile(m_column * Artwork::TileSize, m_row * Artwork::TileSize, Artwork::TileSize,
                         Artwork::TileSize);
        return QRect(m_view->mapToGlobal(tile.topLeft()), tile.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        if (!m_view) {
            s.invalid = true;
            return s;
        }
        const Board &board = m_view->board();
        s.selected = slotOf(board, m_column, m_row) > 0;
        const Cell last = board.last();
        s.focused = last.column == m_column && last.row == m_row;
        s.invisible = !m_view->isVisible();
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    bool isSelected() const override { return state().selected; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<BoardView> m_view;
    int m_column;
    int m_row;
};

// The board as a table of 8 × 8 cells, rows and columns as the player sees them.
class BoardAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit BoardAccessible(BoardView *view)
        : QAccessibleWidget(view, QAccessible::Table, tr("board"))
    {
    }

    ~BoardAccessible() override
    {
        for (QAccessible::Id id : m_cells) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    BoardView *view() const { return static_cast<BoardView *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return tr("Board");
        return QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Children are the cells, row by row.
    int childCount() const override { return Side * Side; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= Side * Side)
            return nullptr;
        return cellAt(index / Side, index % Side);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < Side * Side; ++i) {
            if (m_cells[i] && QAccessible::accessibleInterface(m_cells[i]) == child)
                return i;
        }
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const BoardView::Pick pick = BoardView::pickAt(view()->mapFromGlobal(QPoint(x, y)));
        if (!Board::onBoard(pick.cell.column, pick.cell.row))
            return nullptr;
        return cellAt(pick.cell.row, pick.cell.column);
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (!Board::onBoard(column, row))
            return nullptr;
        QAccessible::Id &id = m_cells[row * Side + column];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new BoardCellAccessible(view(), column, row));
        return QAccessible::accessibleInterface(id);
    }
    int columnCount() const override { return Side; }
    int rowCount() const override { return Side; }
    int selectedCellCount() const override { return view()->board().wordlength(); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> cells;
        const Board &board = view()->board();
        for (int slot = 1; slot <= board.wordlength(); ++slot)
            cells.append(cellAt(board.wordslot(slot).row, board.wordslot(slot).column));
        return cells;
    }
    QString columnDescription(int column) const override { return tr("column %1").arg(column + 1); }
    QString rowDescription(int row) const override { return tr("row %1").arg(row + 1); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // The word is made by the game's own picking, not by a screen reader.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

private:
    mutable QAccessible::Id m_cells[Side * Side] = {};
};

// The word strip: a list of the twelve slots, each named by its letter.
class WordStripAccessible;

class SlotItemAccessible : public QAccessibleInterface
{
public:
    SlotItemAccessible(WordStrip *strip, int slot)
        : m_strip(strip)
        , m_slot(slot)
    {
    }

    bool isValid() const override { return m_strip; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_strip ? m_strip->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_strip); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override
    {
        if (!m_strip || t != QAccessible::Name)
            return {};
        const Board &board = m_strip->board();
        if (m_slot > board.wordlength())
            return tr("empty");
        const Cell cell = board.wordslot(m_slot);
        return letterText(board.boardletters(cell.column, cell.row));
    }
    QRect rect() const override
    {
        if (!m_strip)
            return {};
        const int width = m_strip->width() / Board::MaxWord;
        return QRect(m_strip->mapToGlobal(QPoint((m_slot - 1) * width, 0)), QSize(width, m_strip->height()));
    }
    QAccessible::State state() const override { return {}; }

private:
    QPointer<WordStrip> m_strip;
    int m_slot;
};

class WordStripAccessible : public QAccessibleWidget
{
public:
    explicit WordStripAccessible(WordStrip *strip)
        : QAccessibleWidget(strip, QAccessible::List)
    {
    }

    ~WordStripAccessible() override
    {
        for (QAccessible::Id id : m_items) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<WordStrip *>(widget())->spokenWord();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return Board::MaxWord; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= Board::MaxWord)
            return nullptr;
        QAccessible::Id &id = m_items[index];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new SlotItemAccessible(static_cast<WordStrip *>(widget()), index + 1));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < Board::MaxWord; ++i) {
            if (m_items[i] && QAccessible::accessibleInterface(m_items[i]) == child)
                return i;
        }
        return -1;
    }

private:
    mutable QAccessible::Id m_items[Board::MaxWord] = {};
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("BoardView"))
        return new BoardAccessible(static_cast<BoardView *>(object));
    if (className == QLatin1String("WordStrip"))
        return new WordStripAccessible(static_cast<WordStrip *>(object));
    return nullptr;
}

} // namespace

namespace Accessibility {

void install()
{
    QAccessible::installFactory(factory);
}

QString placeOf(int column, int row)
{
    return tr("row %1, column %2").arg(row + 1).arg(column + 1);
}

void boardCellChanged(BoardView *view, int column, int row)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(view);
    QAccessibleInterface *cell = table ? table->tableInterface()->cellAt(row, column) : nullptr;
    if (!cell)
        return;
    QAccessibleEvent name(cell, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent selection(cell, changed);
    QAccessible::updateAccessibility(&selection);
    if (cell->state().focused) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace Accessibility

WordStrip::WordStrip(const Board &board, QWidget *parent)
    : QWidget(parent)
    , m_board(board)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString WordStrip::spokenWord() const
{
    return tr("current word: %1").arg(m_board.word().toUpper());
}

void WordStrip::wordChanged()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent name(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}
