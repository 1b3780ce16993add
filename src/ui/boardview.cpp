#include "boardview.h"

#include "accessibility.h"

#include "artwork.h"
#include "board.h"
#include "tile.h"
#include "uistyle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

BoardView::Pick BoardView::pickAt(QPoint position)
{
    // Division truncates toward zero: a little left of or above the board
    // still counts as column or row 0.
    const int column = position.x() / Artwork::TileSize;
    const int row = position.y() / Artwork::TileSize;
    // Each cell's inner 29 × 29 square.
    constexpr int Before = 7;
    constexpr int After = 35;
    const int left = Artwork::TileSize * column;
    const int top = Artwork::TileSize * row;
    const bool inside = position.x() >= left + Before && position.x() <= left + After && position.y() >= top + Before
        && position.y() <= top + After;
    return Pick{Cell{column, row}, inside};
}

BoardView::BoardView(const Board &board, QWidget *parent)
    : QWidget(parent)
    , m_board(board)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardView::updateCell(int column, int row)
{
    update(column * Artwork::TileSize, row * Artwork::TileSize, Artwork::TileSize, Artwork::TileSize);
    Accessibility::boardCellChanged(this, column, row);
}

void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), UiStyle::Green);
    for (int column = 0; column < Board::Size; ++column) {
        for (int row = 0; row < Board::Size; ++row) {
            const QPoint at(column * Artwork::TileSize, row * Artwork::TileSize);
            if (!event->rect().intersects(QRect(at, QSize(Artwork::TileSize, Artwork::TileSize))))
                continue;
            painter.drawPixmap(at, Artwork::tile(m_board.boardletters(column, row)));
            const int mark = m_board.boardmarks(column, row);
            if (mark != Tile::NoMark)
                painter.drawPixmap(at, Artwork::tile(mark));
        }
    }
}

void BoardView::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->button(), event->position().toPoint());
}

void BoardView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a quick double click is a press like any other.
    emit pressed(event->button(), event->position().toPoint());
}

void BoardView::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(event->position().toPoint());
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(event->button(), event->position().toPoint());
}
