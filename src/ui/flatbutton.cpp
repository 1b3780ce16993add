#include "flatbutton.h"

#include "uistyle.h"

#include <QPainter>

FlatButton::FlatButton(const QString &caption, QWidget *parent)
    : QAbstractButton(parent)
    , m_captionColor(UiStyle::ButtonText)
{
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
    setFont(UiStyle::arial(13, true));
    setCursor(Qt::PointingHandCursor);
}

void FlatButton::setCaptionPixelSize(int pixelSize)
{
    setFont(UiStyle::arial(pixelSize, true));
}

void FlatButton::setCaptionColor(const QColor &color)
{
    m_captionColor = color;
    update();
}

void FlatButton::setCaptionAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QSize FlatButton::sizeHint() const
{
    return QSize(95, 27);
}

void FlatButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), UiStyle::Cream);
    painter.setPen(UiStyle::ButtonBorder);
    painter.drawRect(frame);
    painter.setFont(font());
    painter.setPen(m_hovered ? UiStyle::ButtonBorder : m_captionColor);
    const int inset = (m_alignment & Qt::AlignLeft) ? 6 : 0;
    painter.drawText(rect().adjusted(inset, 0, 0, 0), int(m_alignment | Qt::AlignVCenter), text());
}

void FlatButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
