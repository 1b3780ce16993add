#pragma once

#include "cell.h"
#include "geometry.h"
#include "points.h"

#include <QString>

#include <array>
#include <functional>
#include <vector>

// A board cell, or a word slot's reference to one; NoCell marks an empty slot.
using Cell = rules::Cell;

// Told about every tile and slot an operation changes, so a view can
// repaint just those.
class BoardObserver
{
public:
    virtual ~BoardObserver() = default;
    virtual void cellDrawn(int column, int row) = 0;
    virtual void slotDrawn(int slot) = 0;
};

// The 8×8 board and the current word. Three layers addressed [column][row]:
// the letters as dealt, the tiles as shown and the frames over them; plus
// twelve word slots naming board cells. Holds no game rules beyond the word's
// own bookkeeping; the game decides when each operation may run. Cells and
// slots named from outside are checked: one off the board or a slot outside
// 1..12 throws std::out_of_range.
class Board
{
public:
    static constexpr int Size = rules::BoardSize;
    static constexpr int MaxWord = rules::MaxWord;
    static constexpr int MinWord = rules::MinWord;
    static constexpr Cell NoCell = rules::NoCell; // an empty slot, the newest letter of an empty word

    Board();

    void setObserver(BoardObserver *observer) { m_observer = observer; }

    int baseletters(int column, int row) const { return m_base[index(column, row)]; }
    int boardletters(int column, int row) const { return m_letters[index(column, row)]; }
    int boardmarks(int column, int row) const { return m_marks[index(column, row)]; }

    // Slots are numbered 1..12.
    Cell wordslot(int slot) const { return m_slots[slotIndex(slot)]; }
    // The tile a slot of the word display shows.
    int slotTile(int slot) const;
    int wordlength() const { return m_wordlength; }
    // The cell of the newest letter; NoCell while the word is empty.
    Cell last() const { return m_wordlength > 0 ? m_slots[m_wordlength - 1] : NoCell; }
    int lastcolumn() const { return last().column; }
    int lastrow() const { return last().row; }
    int rotation() const { return m_rotation; }
    bool minLettersShown() const { return m_wordlength < MinWord; }
    // The word in lower case, built from the shown letters of its cells.
    QString word() const;

    static bool onBoard(int column, int row) { return rules::onBoard(column, row); }

    // Deals a new board; drawChance yields a number 1..98 per cell.
    void createboard(const std::function<int()> &drawChance);
    // Empties board and word; the dealt letters stay.
    void clearall();
    // Empties the word and removes every frame; the letters stay.
    void clearword();
    // Removes the newest letter; the caller makes sure the word is not empty.
    void deleteoneletter();
    // Adds a cell as the newest letter of the word. The caller has checked
    // that the cell may be added.
    void appendcell(int column, int row);
    // Lays the word out again along other cells, all framed black; the
    // length stays and the newest letter is left for the next append to set.
    void repostword(const std::vector<Cell> &cells);
    // One more quarter turn clockwise, rebuilt from the dealt letters. The
    // caller has emptied the word.
    void rotate();
    // The shown letters, indexed column * 8 + row.
    const rules::Letters &letters() const { return m_letters; }

private:
    // Throw std::out_of_range for a cell off the board or a slot outside 1..12.
    static std::size_t index(int column, int row);
    static std::size_t slotIndex(int slot);
    // Takes every frame off the board and empties every slot.
    void unframeWord();
    void setSlot(int slot, Cell cell);
    void setMark(int column, int row, int mark);
    void notifyCell(int column, int row);
    void notifySlot(int slot);

    rules::Letters m_base{};
    rules::Letters m_letters{};
    std::array<int, rules::CellCount> m_marks{};
    std::array<Cell, MaxWord> m_slots{};
    int m_wordlength = 0;
    int m_rotation = 0;
    BoardObserver *m_observer = nullptr;
};
