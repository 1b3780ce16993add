#pragma once

#include <QString>
#include <QWidget>

class Board;

// What a screen reader sees of the painted parts of the game: the board and
// the review's board as tables of 64 cells named by their letters, and the word strip as a list of
// its twelve slots with the current word as its name. Nothing is drawn.
namespace Accessibility {

// Registers the interfaces of the painted widgets; once, before any window.
void install();

// Tells a screen reader that a cell of a board (the game's or the review's)
// changed: its letter, its place in the word, or the newest letter, which
// gets the focus.
void boardCellChanged(QWidget *view, int column, int row);

// A cell's place as a screen reader says it, with rows and columns from 1.
QString placeOf(int column, int row);

} // namespace Accessibility

// An empty widget over the word strip, seen only by assistive technology:
// a list of the twelve slots, named "current word: TEA".
class WordStrip : public QWidget
{
    Q_OBJECT

public:
    WordStrip(const Board &board, QWidget *parent = nullptr);

    const Board &board() const { return m_board; }
    QString spokenWord() const;
    // The word changed; the list tells the screen reader so.
    void wordChanged();

private:
    const Board &m_board;
};
