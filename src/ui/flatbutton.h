#pragma once

#include <QAbstractButton>
#include <QColor>

// The button of every window: a cream face with a thin dark red border and a
// bold caption that turns red under the pointer. It never takes the focus,
// so the keyboard stays with the game.
class FlatButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit FlatButton(const QString &caption, QWidget *parent = nullptr);

    void setCaptionPixelSize(int pixelSize);
    void setCaptionColor(const QColor &color);
    QColor captionColor() const { return m_captionColor; }
    void setCaptionAlignment(Qt::Alignment alignment);
    // A number a shared click handler can tell buttons apart by.
    void setNumber(int number) { m_number = number; }
    int number() const { return m_number; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QColor m_captionColor;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    bool m_hovered = false;
    int m_number = 0;
};
