#include "deal.h"

#include "lettercodes.h"

#include <array>

namespace rules {

namespace {

struct Chance {
    int upTo; // last draw that gives the letter
    char letter;
};

// Tested in this order; the widths are the chances in 98.
constexpr std::array<Chance, 26> chanceTable{{
    {9, 'A'},  {21, 'E'}, {30, 'I'}, {38, 'O'}, {41, 'U'}, {46, 'D'}, {49, 'G'},
    {51, 'H'}, {55, 'L'}, {57, 'M'}, {63, 'N'}, {65, 'P'}, {71, 'R'}, {75, 'S'},
    {81, 'T'}, {83, 'Y'}, {85, 'B'}, {87, 'C'}, {89, 'F'}, {90, 'J'}, {91, 'K'},
    {93, 'W'}, {94, 'Q'}, {96, 'V'}, {97, 'X'}, {98, 'Z'},
}};

static_assert(chanceTable.back().upTo == ChanceCount);

} // namespace

int letterForChance(int draw)
{
    int from = 1;
    for (const Chance &c : chanceTable) {
        if (draw >= from && draw <= c.upTo)
            return letterCode(c.letter);
        from = c.upTo + 1;
    }
    return FirstLetter;
}

int firstChance(int code)
{
    int from = 1;
    for (const Chance &c : chanceTable) {
        if (letterCode(c.letter) == code)
            return from;
        from = c.upTo + 1;
    }
    return 1;
}

Letters deal(const std::function<int()> &draw)
{
    Letters letters{};
    for (int &code : letters)
        code = letterForChance(draw());
    return letters;
}

Letters drawsFor(const Letters &letters)
{
    Letters draws{};
    for (int cell = 0; cell < CellCount; ++cell)
        draws[cell] = firstChance(letters[cell]);
    return draws;
}

} // namespace rules
