#include "cell.h"
#include "geometry.h"

#include <gtest/gtest.h>

// A cell's index is column * 8 + row, and column and row come back from it.
TEST(Geometry, cellIndexIsColumnMajor)
{
    EXPECT_EQ(rules::cellIndex(0, 1), 1);
    EXPECT_EQ(rules::cellIndex(1, 0), 8);
    EXPECT_EQ(rules::cellIndex(7, 7), 63);
    for (int index = 0; index < rules::CellCount; ++index)
        EXPECT_EQ(rules::cellIndex(rules::columnOf(index), rules::rowOf(index)), index);
}

// Columns and rows 0..7 are on the board; one step past any edge is not.
TEST(Geometry, onBoardStopsAtTheEdges)
{
    EXPECT_TRUE(rules::onBoard(0, 0));
    EXPECT_TRUE(rules::onBoard(7, 7));
    EXPECT_FALSE(rules::onBoard(-1, 0));
    EXPECT_FALSE(rules::onBoard(0, -1));
    EXPECT_FALSE(rules::onBoard(8, 0));
    EXPECT_FALSE(rules::onBoard(0, 8));
    EXPECT_FALSE(rules::onBoard(rules::NoCell.column, rules::NoCell.row));
}

// A cell touches its eight neighbours, not itself and nothing two steps away.
TEST(Geometry, touchingMeansOneStepInAnyDirection)
{
    for (const rules::Step &step : rules::NeighbourSteps)
        EXPECT_TRUE(rules::touching(3, 3, 3 + step.column, 3 + step.row)) << step.column << "," << step.row;
    EXPECT_FALSE(rules::touching(3, 3, 3, 3));
    EXPECT_FALSE(rules::touching(3, 3, 5, 3));
    EXPECT_FALSE(rules::touching(3, 3, 3, 1));
    EXPECT_FALSE(rules::touching(3, 3, 1, 5));
}

// The keyboard's order is up-left, left, down-left, up, down, up-right, right,
// down-right, which is also ascending index order.
TEST(Geometry, neighbourOrderIsTheKeyboardsAndAscendsByIndex)
{
    const rules::Step expected[] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}};
    int previous = -1;
    for (std::size_t i = 0; i < rules::NeighbourSteps.size(); ++i) {
        EXPECT_EQ(rules::NeighbourSteps[i].column, expected[i].column) << i;
        EXPECT_EQ(rules::NeighbourSteps[i].row, expected[i].row) << i;
        const int index = rules::cellIndex(3 + rules::NeighbourSteps[i].column, 3 + rules::NeighbourSteps[i].row);
        EXPECT_GT(index, previous) << i;
        previous = index;
    }
}
