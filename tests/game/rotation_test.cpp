#include "game.h"
#include "gametestsupport.h"
#include "tile.h"

#include <gtest/gtest.h>

namespace {

// Only the top-left cell holds a Q.
const QString board = QStringLiteral(
    "qaaaaaaa"
    "aaaaaaab"
    "aaaaaaaa"
    "aaaaaaaa"
    "aaaaaaaa"
    "aaaaaaaa"
    "aaaaaaaa"
    "caaaaaaa");

int q = 17;

Cell whereIsQ(const Board &b)
{
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (b.boardletters(c, r) == q)
                return Cell{c, r};
    return Cell{};
}

} // namespace

// Each turn is a quarter clockwise from the board as dealt: the top-left
// letter goes to the top right, bottom right, bottom left and home again.
TEST(Rotation, quarterTurnsClockwise)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, board);
    const std::vector<Cell> expected{{7, 0}, {7, 7}, {0, 7}, {0, 0}};
    for (const Cell &cell : expected) {
        game.rotateboard();
        EXPECT_EQ(whereIsQ(game.board()), cell) << "turn " << game.board().rotation();
    }
    EXPECT_EQ(game.board().rotation(), 0);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(game.board().boardletters(c, r), game.board().baseletters(c, r));

    // One turn: the dealt (7,1) "b" shows at (6,7), the dealt (0,7) "c" at (0,0).
    game.rotateboard();
    EXPECT_EQ(game.board().boardletters(6, 7), 2);
    EXPECT_EQ(game.board().boardletters(0, 0), 3);
}

// A turn discards the word in progress; only "rotate" is heard.
TEST(Rotation, discardsTheWord)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, board);
    pick(game, {{1, 0}, {2, 0}, {3, 0}});
    recorder.take();
    game.rotateboard();
    EXPECT_EQ(recorder.take(), QStringList{"cue rotate"});
    EXPECT_EQ(game.board().wordlength(), 0);
    EXPECT_TRUE(game.board().minLettersShown());
    for (int slot = 1; slot <= 12; ++slot)
        EXPECT_EQ(game.board().slotTile(slot), Tile::EmptySlot);
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            EXPECT_EQ(game.board().boardmarks(c, r), Tile::NoMark);
}

// Outside a game a turn does nothing and plays nothing; a new game starts
// unturned; typing after a turn scans the turned board.
TEST(Rotation, onlyDuringAGame)
{
    GameRecorder recorder;
    Game game(recorder.services());
    game.enter();
    recorder.take();
    game.rotateboard();
    EXPECT_TRUE(recorder.log.isEmpty());
    EXPECT_EQ(game.board().rotation(), 0);

    startOn(game, board);
    game.rotateboard();
    game.typetheletter(q);
    EXPECT_EQ(game.board().wordslot(1), (Cell{7, 0}));

    for (int i = 0; i < 180; ++i)
        game.tick();
    game.rotateboard();
    EXPECT_EQ(game.board().rotation(), 1);
    EXPECT_EQ(whereIsQ(game.board()), (Cell{7, 0}));
    startOn(game, board);
    EXPECT_EQ(game.board().rotation(), 0);
    EXPECT_EQ(whereIsQ(game.board()), (Cell{0, 0}));
}
