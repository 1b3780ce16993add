#include "tile.h"

#include <array>

namespace Tile {

namespace {

struct Chance {
    int upTo;   // last draw that gives the letter
    char letter;
};

// Tested in this order; the widths are the chances in 98.
constexpr std::array<Chance, 26> chanceTable{{
    {9, 'A'},  {21, 'E'}, {30, 'I'}, {38, 'O'}, {41, 'U'}, {46, 'D'}, {49, 'G'},
    {51, 'H'}, {55, 'L'}, {57, 'M'}, {63, 'N'}, {65, 'P'}, {71, 'R'}, {75, 'S'},
    {81, 'T'}, {83, 'Y'}, {85, 'B'}, {87, 'C'}, {89, 'F'}, {90, 'J'}, {91, 'K'},
    {93, 'W'}, {94, 'Q'}, {96, 'V'}, {97, 'X'}, {98, 'Z'},
}};

} // namespace

QString letterOf(int code)
{
    if (!isLetter(code))
        return {};
    return QString(QChar(u'a' + (code - FirstLetter)));
}

int letterForChance(int n)
{
    int from = 1;
    for (const Chance &c : chanceTable) {
        if (n >= from && n <= c.upTo)
            return c.letter - 'A' + FirstLetter;
        from = c.upTo + 1;
    }
    return FirstLetter;
}

int firstChance(int code)
{
    int from = 1;
    for (const Chance &c : chanceTable) {
        if (c.letter - 'A' + FirstLetter == code)
            return from;
        from = c.upTo + 1;
    }
    return 1;
}

} // namespace Tile
