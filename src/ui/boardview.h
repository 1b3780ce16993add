#pragma once

#include "board.h"

#include <QWidget>

// The board's drawing surface: 8×8 tiles of 42 pixels with the frames of the
// current word over them, always drawn from the board's layers.
class BoardView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SurfaceWidth = 336;
    static constexpr int SurfaceHeight = 339; // three pixels taller than the eight rows

    // The cell under a point of the surface, and whether the point lies in
    // the cell's inner zone, the part a drag must reach.
    struct Pick {
        Cell cell;
        bool insideInnerZone = false;
    };
    static Pick pickAt(QPoint position);

    explicit BoardView(const Board &board, QWidget *parent = nullptr);

    const Board &board() const { return m_board; }

    // Repaints one cell after the board changed it.
    void updateCell(int column, int row);

signals:
    // Positions are in pixels of the surface; moves and the release of a
    // press that began here arrive also from outside it.
    void pressed(Qt::MouseButton button, QPoint position);
    void moved(QPoint position);
    void released(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const Board &m_board;
};
