#include "points.h"

#include <gtest/gtest.h>

// Words of 3..12 letters score by the table; anything shorter or longer scores nothing.
TEST(Points, tableByWordLengthWithNothingOutside)
{
    EXPECT_EQ(rules::MinWord, 3);
    EXPECT_EQ(rules::MaxWord, 12);
    EXPECT_EQ(rules::pointsFor(0), 0);
    EXPECT_EQ(rules::pointsFor(2), 0);
    EXPECT_EQ(rules::pointsFor(3), 1);
    EXPECT_EQ(rules::pointsFor(12), 30);
    EXPECT_EQ(rules::pointsFor(13), 0);
    EXPECT_EQ(rules::pointsFor(-3), 0);
    const int expected[] = {1, 3, 6, 9, 11, 13, 16, 19, 22, 30};
    for (int letters = 3; letters <= 12; ++letters)
        EXPECT_EQ(rules::pointsFor(letters), expected[letters - 3]) << letters;
}
