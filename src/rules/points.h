#pragma once

#include <array>

namespace rules {

constexpr int MinWord = 3;
constexpr int MaxWord = 12;

// Points by word length, MinWord..MaxWord letters.
constexpr std::array<int, MaxWord - MinWord + 1> PointsTable{1, 3, 6, 9, 11, 13, 16, 19, 22, 30};

// Nothing for a word too short or too long to send.
constexpr int pointsFor(int letters)
{
    if (letters < MinWord || letters > MaxWord)
        return 0;
    return PointsTable[letters - MinWord];
}

} // namespace rules
