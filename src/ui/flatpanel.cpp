#include "flatpanel.h"

#include "uistyle.h"

#include <QPainter>

FlatPanel::FlatPanel(QWidget *parent)
    : QWidget(parent)
    , m_topLeft(UiStyle::DarkGreen)
    , m_bottomRight(UiStyle::DarkGreen)
    , m_fill(UiStyle::Green)
    , m_captionFont(UiStyle::sans(13))
    , m_captionColor(UiStyle::Cream)
{
}

void FlatPanel::setFrameColors(const QColor &topLeft, const QColor &bottomRight)
{
    m_topLeft = topLeft;
    m_bottomRight = bottomRight;
    update();
}

void FlatPanel::setFill(const QColor &color)
{
    m_fill = color;
    update();
}

void FlatPanel::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void FlatPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void FlatPanel::setCaptionWrapped(bool wrapped)
{
    m_captionWrapped = wrapped;
    update();
}

void FlatPanel::setCaptionFont(const QFont &font, const QColor &color)
{
    m_captionFont = font;
    m_captionColor = color;
    update();
}

void FlatPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), m_fill);
    if (!m_caption.isEmpty()) {
        painter.setFont(m_captionFont);
        painter.setPen(m_captionColor);
        if (m_captionWrapped)
            painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, m_caption);
        else
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_caption);
    }
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(m_topLeft);
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(m_bottomRight);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
}
