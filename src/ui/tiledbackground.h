#pragma once

#include <QPixmap>
#include <QWidget>

// A window's client area: the background colour with a picture repeated over it.
class TiledBackground : public QWidget
{
    Q_OBJECT

public:
    explicit TiledBackground(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
