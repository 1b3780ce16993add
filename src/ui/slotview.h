#pragma once

#include <QWidget>

class Board;

// One of the twelve pictures of the word display; shows the letter of its
// slot or the empty-slot tile. Carries its slot number.
class SlotView : public QWidget
{
    Q_OBJECT

public:
    SlotView(const Board &board, int slot, QWidget *parent = nullptr);

    int slot() const { return m_slot; }

signals:
    void clicked(int slot);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const Board &m_board;
    int m_slot;
};
