#include "slotview.h"

#include "artwork.h"
#include "board.h"

#include <QMouseEvent>
#include <QPainter>

SlotView::SlotView(const Board &board, int slot, QWidget *parent)
    : QWidget(parent)
    , m_board(board)
    , m_slot(slot)
{
    setFixedSize(Artwork::TileSize, Artwork::TileSize);
}

void SlotView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, Artwork::tile(m_board.slotTile(m_slot)));
}

void SlotView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(m_slot);
}
