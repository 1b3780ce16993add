#include "accessibility.h"

#include "artwork.h"
#include "board.h"
#include "boardview.h"
#include "lettercodes.h"
#include "reviewboardview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QPointer>
#include <QWindow>

#include <memory>


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

// What the table needs of a painted board, for the game's board and the review's.
class Grid
{
public:
    virtual ~Grid() = default;
    virtual int tileSize() const = 0;
    virtual int letter(int column, int row) const = 0;
    // The cell's place in the word or path from 1, or 0.
    virtual int order(int column, int row) const = 0;
    virtual int length() const = 0;
    virtual Cell at(int order) const = 0;
    virtual bool isNewest(int column, int row) const = 0;
    virtual QString description(int column, int row) const { return Accessibility::placeOf(column, row); }
};

// The game's board: the current word is selected, its newest letter focused.
class GameGrid : public Grid
{
public:
    explicit GameGrid(const BoardView *view)
        : m_view(view)
    {
    }
    int tileSize() const override { return Artwork::TileSize; }
    int letter(int column, int row) const override { return m_view->board().boardletters(column, row); }
    int order(int column, int row) const override
    {
        const Board &board = m_view->board();
        for (int slot = 1; slot <= board.wordlength(); ++slot) {
            const Cell cell = board.wordslot(slot);
            if (cell.column == column && cell.row == row)
                return slot;
        }
        return 0;
    }
    int length() const override { return m_view->board().wordlength(); }
    Cell at(int order) const override { return m_view->board().wordslot(order); }
    bool isNewest(int column, int row) const override
    {
        const Cell last = m_view->board().last();
        return last.column == column && last.row == row;
    }

private:
    const BoardView *m_view;
};

// The review's board: the shown word's path is selected, in order.
class ReviewGrid : public Grid
{
public:
    explicit ReviewGrid(const ReviewBoardView *view)
        : m_view(view)
    {
    }
    int tileSize() const override { return ReviewBoardView::TileSize; }
    int letter(int column, int row) const override
    {
        return m_view->letters()[std::size_t(rules::cellIndex(column, row))];
    }
    int order(int column, int row) const override
    {
        const std::vector<rules::Cell> &path = m_view->path();
        for (std::size_t i = 0; i < path.size(); ++i) {
            if (path[i].column == column && path[i].row == row)
                return int(i) + 1;
        }
        return 0;
    }
    int length() const override { return int(m_view->path().size()); }
    Cell at(int order) const override { return m_view->path()[std::size_t(order - 1)]; }
    bool isNewest(int, int) const override { return false; }
    QString description(int column, int row) const override
    {
        const int n = order(column, row);
        if (n == 0)
            return Accessibility::placeOf(column, row);
        return tr("%1; letter %2 of %3 of the word").arg(Accessibility::placeOf(column, row)).arg(n).arg(length());
    }

private:
    const ReviewBoardView *m_view;
};

// One cell of a board's table; kept by the table for its whole life.
class BoardCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    BoardCellAccessible(QWidget *view, const Grid *grid, int column, int row)
        : m_view(view)
        , m_grid(grid)
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
            return letterText(m_grid->letter(m_column, m_row));
        if (t == QAccessible::Description)
            return m_grid->description(m_column, m_row);
        return {};
    }

    QRect rect() const override
    {
        if (!m_view)
            return {};
        const int size = m_grid->tileSize();
        const QRect tile(m_column * size, m_row * size, size, size);
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
        s.selected = m_grid->order(m_column, m_row) > 0;
        s.focused = m_grid->isNewest(m_column, m_row);
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
    QPointer<QWidget> m_view;
    const Grid *m_grid;
    int m_column;
    int m_row;
};

// A board as a table of 8 × 8 cells, rows and columns as the player sees them.
class BoardAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    BoardAccessible(QWidget *view, std::unique_ptr<Grid> grid)
        : QAccessibleWidget(view, QAccessible::Table, tr("board"))
        , m_grid(std::move(grid))
    {
    }

    ~BoardAccessible() override
    {
        for (QAccessible::Id id : m_cells) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

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
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        if (at.x() < 0 || at.y() < 0)
            return nullptr;
        return cellAt(at.y() / m_grid->tileSize(), at.x() / m_grid->tileSize());
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (!Board::onBoard(column, row))
            return nullptr;
        QAccessible::Id &id = m_cells[row * Side + column];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new BoardCellAccessible(widget(), m_grid.get(), column, row));
        return QAccessible::accessibleInterface(id);
    }
    int columnCount() const override { return Side; }
    int rowCount() const override { return Side; }
    int selectedCellCount() const override { return m_grid->length(); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> cells;
        for (int n = 1; n <= m_grid->length(); ++n)
            cells.append(cellAt(m_grid->at(n).row, m_grid->at(n).column));
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
    std::unique_ptr<Grid> m_grid;
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
    if (className == QLatin1String("BoardView")) {
        auto *view = static_cast<BoardView *>(object);
        return new BoardAccessible(view, std::make_unique<GameGrid>(view));
    }
    if (className == QLatin1String("ReviewBoardView")) {
        auto *view = static_cast<ReviewBoardView *>(object);
        return new BoardAccessible(view, std::make_unique<ReviewGrid>(view));
    }
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

void boardCellChanged(QWidget *view, int column, int row)
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
