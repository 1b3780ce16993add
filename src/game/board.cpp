#include "board.h"

#include "deal.h"
#include "tile.h"

#include <stdexcept>
#include <string>

Board::Board() = default;

std::size_t Board::index(int column, int row)
{
    if (!onBoard(column, row))
        throw std::out_of_range("no board cell at column " + std::to_string(column) + ", row " + std::to_string(row));
    return std::size_t(rules::cellIndex(column, row));
}

std::size_t Board::slotIndex(int slot)
{
    if (slot < 1 || slot > MaxWord)
        throw std::out_of_range("no word slot " + std::to_string(slot));
    return std::size_t(slot - 1);
}

int Board::slotTile(int slot) const
{
    if (slot > m_wordlength)
        return Tile::EmptySlot;
    const Cell cell = wordslot(slot);
    return boardletters(cell.column, cell.row);
}

QString Board::word() const
{
    QString text;
    for (int slot = 1; slot <= m_wordlength; ++slot) {
        const Cell cell = wordslot(slot);
        text += Tile::letterOf(boardletters(cell.column, cell.row));
    }
    return text;
}

void Board::createboard(const std::function<int()> &drawChance)
{
    m_rotation = 0;
    m_base = rules::deal(drawChance);
    m_letters = m_base;
    m_marks.fill(Tile::NoMark);
    for (int column = 0; column < Size; ++column) {
        for (int row = 0; row < Size; ++row)
            notifyCell(column, row);
    }
}

void Board::clearall()
{
    m_wordlength = 0;
    for (int column = 0; column < Size; ++column) {
        for (int row = 0; row < Size; ++row) {
            m_letters[index(column, row)] = Tile::EmptyCell;
            m_marks[index(column, row)] = Tile::NoMark;
            notifyCell(column, row);
        }
    }
    for (int slot = 1; slot <= MaxWord; ++slot)
        setSlot(slot, NoCell);
}

void Board::clearword()
{
    m_wordlength = 0;
    unframeWord();
}

void Board::deleteoneletter()
{
    const Cell newest = wordslot(m_wordlength);
    setMark(newest.column, newest.row, Tile::NoMark);
    const int slot = m_wordlength;
    --m_wordlength;
    setSlot(slot, NoCell);
}

void Board::appendcell(int column, int row)
{
    // After a word was laid out again the old newest cell may no longer be
    // in the word, so only a red frame turns black.
    const Cell newest = last();
    if (newest != NoCell && boardmarks(newest.column, newest.row) == Tile::NewestFrame)
        setMark(newest.column, newest.row, Tile::EarlierFrame);
    setMark(column, row, Tile::NewestFrame);
    ++m_wordlength;
    setSlot(m_wordlength, Cell{column, row});
}

void Board::setSlot(int slot, Cell cell)
{
    m_slots[slotIndex(slot)] = cell;
    notifySlot(slot);
}

void Board::setMark(int column, int row, int mark)
{
    m_marks[index(column, row)] = mark;
    notifyCell(column, row);
}

void Board::notifyCell(int column, int row)
{
    if (m_observer)
        m_observer->cellDrawn(column, row);
}

void Board::notifySlot(int slot)
{
    if (m_observer)
        m_observer->slotDrawn(slot);
}

void Board::repostword(const std::vector<Cell> &cells)
{
    unframeWord();
    for (int position = 0; position < int(cells.size()); ++position) {
        setMark(cells[position].column, cells[position].row, Tile::EarlierFrame);
        setSlot(position + 1, cells[position]);
    }
}

void Board::rotate()
{
    m_rotation = (m_rotation + 1) % 4;
    for (int i = 0; i < Size; ++i) {
        for (int j = 0; j < Size; ++j) {
            int column = i;
            int row = j;
            switch (m_rotation) {
            case 1:
                column = Size - 1 - j;
                row = i;
                break;
            case 2:
                column = Size - 1 - i;
                row = Size - 1 - j;
                break;
            case 3:
                column = j;
                row = Size - 1 - i;
                break;
            }
            m_letters[index(column, row)] = m_base[index(i, j)];
            notifyCell(column, row);
        }
    }
}

void Board::unframeWord()
{
    for (int column = 0; column < Size; ++column) {
        for (int row = 0; row < Size; ++row) {
            if (boardmarks(column, row) != Tile::NoMark)
                setMark(column, row, Tile::NoMark);
        }
    }
    for (int slot = 1; slot <= MaxWord; ++slot)
        setSlot(slot, NoCell);
}
