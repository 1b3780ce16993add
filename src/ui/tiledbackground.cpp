#include "tiledbackground.h"

#include "uistyle.h"

#include <QPainter>
#include <QPaintEvent>

TiledBackground::TiledBackground(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
}

void TiledBackground::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void TiledBackground::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), UiStyle::Green);
    if (!m_picture.isNull())
        painter.drawTiledPixmap(rect(), m_picture);
}
