#include "board.h"
#include "game.h"
#include "gametestsupport.h"
#include "tile.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

// Records which cells and slots an operation reports as changed.
class ChangeLog : public BoardObserver
{
public:
    std::vector<Cell> cells;
    std::vector<int> slotList;
    void cellDrawn(int column, int row) override { cells.push_back(Cell{column, row}); }
    void slotDrawn(int slot) override { slotList.push_back(slot); }
};

} // namespace

// Over many deals each letter turns up as often as its chances in 98 say.
TEST(Deal, letterFrequenciesFollowTheChanceTable)
{
    const std::map<char, int> chances{
        {'A', 9}, {'E', 12}, {'I', 9}, {'O', 8}, {'U', 3}, {'D', 5}, {'G', 3}, {'H', 2}, {'L', 4},
        {'M', 2}, {'N', 6},  {'P', 2}, {'R', 6}, {'S', 4}, {'T', 6}, {'Y', 2}, {'B', 2}, {'C', 2},
        {'F', 2}, {'J', 1},  {'K', 1}, {'W', 2}, {'Q', 1}, {'V', 2}, {'X', 1}, {'Z', 1},
    };
    QRandomGenerator random(20261207);
    std::array<int, 27> counts{};
    Board board;
    constexpr int deals = 3000;
    for (int deal = 0; deal < deals; ++deal) {
        board.createboard([&] { return static_cast<int>(random.bounded(1, 99)); });
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r)
                ++counts[board.baseletters(c, r)];
    }
    const double cells = deals * 64.0;
    double chiSquare = 0;
    for (const auto &[letter, chance] : chances) {
        const int code = letter - 'A' + 1;
        const double expected = cells * chance / 98.0;
        EXPECT_GT(counts[code], 0) << letter;
        chiSquare += (counts[code] - expected) * (counts[code] - expected) / expected;
    }
    // 25 degrees of freedom: 52.6 is the 0.1 % critical value.
    EXPECT_LT(chiSquare, 52.6);
    EXPECT_EQ(counts[0], 0);
}

// Draws outside 1..98 cannot happen; if one did it would give an A.
TEST(Deal, outOfRangeDrawFallsBackToA)
{
    EXPECT_EQ(Tile::letterForChance(0), 1);
    EXPECT_EQ(Tile::letterForChance(99), 1);
    EXPECT_EQ(Tile::letterForChance(98), 26);
    EXPECT_EQ(Tile::letterOf(1), QStringLiteral("a"));
    EXPECT_EQ(Tile::letterOf(26), QStringLiteral("z"));
    EXPECT_EQ(Tile::letterOf(29), QString());
}

// A deal fills both letter layers alike, clears every frame, starts unturned
// and is laid out column by column.
TEST(Deal, fillsBothLayersColumnByColumn)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    const Board &board = game.board();
    EXPECT_EQ(board.rotation(), 0);
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) {
            EXPECT_EQ(board.baseletters(c, r), board.boardletters(c, r));
            EXPECT_EQ(board.boardmarks(c, r), Tile::NoMark);
            EXPECT_EQ(Tile::letterOf(board.boardletters(c, r)), sampleBoard.mid(r * 8 + c, 1));
        }
    }
}

// Emptying shows empty cells and slots and forgets the word, but keeps the deal.
TEST(ClearAll, emptiesBoardAndWordButKeepsTheDeal)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    pick(game, {{0, 0}, {1, 0}});
    game.enter(); // clears like the window's creation does

    const Board &board = game.board();
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) {
            EXPECT_EQ(board.boardletters(c, r), Tile::EmptyCell);
            EXPECT_EQ(board.boardmarks(c, r), Tile::NoMark);
            EXPECT_EQ(Tile::letterOf(board.baseletters(c, r)), sampleBoard.mid(r * 8 + c, 1));
        }
    }
    for (int slot = 1; slot <= 12; ++slot) {
        EXPECT_EQ(board.slotTile(slot), Tile::EmptySlot);
        EXPECT_EQ(board.wordslot(slot), Board::NoCell);
    }
    EXPECT_EQ(board.wordlength(), 0);
    EXPECT_EQ(board.lastcolumn(), -1);
    EXPECT_EQ(board.lastrow(), -1);
    EXPECT_EQ(game.foundCount(), 0);
}

// Picking frames the newest letter red and the earlier ones black, and the
// slots show the letters in order.
TEST(Word, appendingFramesNewestRedAndEarlierBlack)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    pick(game, {{0, 0}, {1, 0}, {2, 0}});
    const Board &board = game.board();
    EXPECT_EQ(board.boardmarks(0, 0), Tile::EarlierFrame);
    EXPECT_EQ(board.boardmarks(1, 0), Tile::EarlierFrame);
    EXPECT_EQ(board.boardmarks(2, 0), Tile::NewestFrame);
    EXPECT_EQ(board.word(), QStringLiteral("cat"));
    EXPECT_EQ(Tile::letterOf(board.slotTile(2)), QStringLiteral("a"));
    EXPECT_EQ(board.slotTile(4), Tile::EmptySlot);
    EXPECT_FALSE(board.minLettersShown());
    EXPECT_EQ(recorder.cues().count(QStringLiteral("cue click")), 3);
}

// Deleting the newest of three letters leaves two; the new newest keeps its
// black frame and the minimum-length strip shows again. Only the removed
// cell and slot are redrawn.
TEST(Word, deleteOneLetterShortensTheWord)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    pick(game, {{0, 0}, {1, 0}, {2, 1}});

    ChangeLog changes;
    Board copy = game.board();
    copy.setObserver(&changes);
    copy.deleteoneletter();

    EXPECT_EQ(copy.wordlength(), 2);
    EXPECT_EQ(copy.boardmarks(2, 1), Tile::NoMark);
    EXPECT_EQ(copy.boardmarks(1, 0), Tile::EarlierFrame);
    EXPECT_EQ(copy.lastcolumn(), 1);
    EXPECT_EQ(copy.lastrow(), 0);
    EXPECT_EQ(copy.wordslot(3), Board::NoCell);
    EXPECT_TRUE(copy.minLettersShown());
    EXPECT_EQ(changes.cells, (std::vector<Cell>{{2, 1}}));
    EXPECT_EQ(changes.slotList, (std::vector<int>{3}));

    copy.deleteoneletter();
    copy.deleteoneletter();
    EXPECT_EQ(copy.wordlength(), 0);
    EXPECT_EQ(copy.lastcolumn(), -1);
    EXPECT_EQ(copy.lastrow(), -1);
}

// Clearing the word removes every frame and empties all slots in a game, and
// does nothing at all between games.
TEST(Word, pressClearOnlyDuringAGame)
{
    GameRecorder recorder;
    Game game(recorder.services());
    game.enter();
    const Board before = game.board();
    game.pressclear();
    EXPECT_EQ(game.board().wordlength(), before.wordlength());

    startOn(game, sampleBoard);
    pick(game, {{0, 0}, {0, 1}, {1, 2}});
    recorder.take();
    game.pressclear();
    const Board &board = game.board();
    EXPECT_EQ(board.wordlength(), 0);
    EXPECT_EQ(board.lastcolumn(), -1);
    EXPECT_TRUE(board.minLettersShown());
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(board.boardmarks(c, r), Tile::NoMark);
    for (int slot = 1; slot <= 12; ++slot)
        EXPECT_EQ(board.slotTile(slot), Tile::EmptySlot);
    EXPECT_EQ(Tile::letterOf(board.boardletters(0, 1)), QStringLiteral("r"));
    EXPECT_TRUE(recorder.log.isEmpty()) << "clearing plays nothing and sets no text";
}

// The pick test: on the board, touching the newest letter, not yet used,
// and at most twelve letters.
TEST(Word, pickTest)
{
    GameRecorder recorder;
    Game game(recorder.services());
    EXPECT_FALSE(game.pickable(0, 0)) << "no letters before the first game";
    startOn(game, sampleBoard);
    EXPECT_TRUE(game.pickable(7, 7));
    EXPECT_FALSE(game.pickable(8, 0));
    EXPECT_FALSE(game.pickable(0, 8));
    EXPECT_FALSE(game.pickable(-1, 0));
    pick(game, {{3, 3}});
    EXPECT_FALSE(game.pickable(3, 3)) << "the newest letter itself";
    EXPECT_FALSE(game.pickable(5, 3)) << "two columns away";
    EXPECT_TRUE(game.pickable(2, 2));
    pick(game, {{2, 2}});
    EXPECT_FALSE(game.pickable(3, 3)) << "already in the word";

    // Twelve letters along a snake; the thirteenth is refused.
    game.pressclear();
    pick(game, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0},
                {7, 1}, {6, 1}, {5, 1}, {4, 1}});
    EXPECT_EQ(game.board().wordlength(), 12);
    EXPECT_FALSE(game.pickable(3, 1));
}

// Cells and slots named from outside are checked: one off the board or a
// slot outside 1..12 throws instead of reading past the arrays.
TEST(Board, outOfRangeCellsAndSlotsThrow)
{
    Board board;
    EXPECT_NO_THROW(board.wordslot(1));
    EXPECT_NO_THROW(board.wordslot(12));
    EXPECT_THROW(board.wordslot(0), std::out_of_range);
    EXPECT_THROW(board.wordslot(13), std::out_of_range);
    EXPECT_THROW(board.slotTile(0), std::out_of_range);
    EXPECT_NO_THROW(board.boardletters(7, 7));
    EXPECT_THROW(board.boardletters(8, 0), std::out_of_range);
    EXPECT_THROW(board.baseletters(0, 8), std::out_of_range);
    EXPECT_THROW(board.boardmarks(-1, 0), std::out_of_range);
    EXPECT_THROW(board.appendcell(0, -1), std::out_of_range);
}
