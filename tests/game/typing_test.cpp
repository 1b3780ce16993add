#include "game.h"
#include "gametestsupport.h"
#include "tile.h"

#include <gtest/gtest.h>

namespace {

class Typing : public ::testing::Test
{
protected:
    void on(const QString &board)
    {
        recorder.watch(game);
        startOn(game, board);
        recorder.take();
    }

    Game::Typed type(char letter) { return game.typetheletter(letter - 'a' + 1); }

    std::vector<Cell> word() const
    {
        std::vector<Cell> cells;
        for (int slot = 1; slot <= game.board().wordlength(); ++slot)
            cells.push_back(game.board().wordslot(slot));
        return cells;
    }

    GameRecorder recorder;
    Game game{recorder.services()};
};

} // namespace

// The first letter goes to the first cell holding it, column by column and
// top to bottom within a column; it is framed red and shown in slot 1.
TEST_F(Typing, firstLetterColumnMajor)
{
    on("xxxxxxxx"
       "xxxxxxxx"
       "xxxaxxxx"
       "xxxxxxxx"
       "xxaxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx");
    EXPECT_EQ(type('a'), Game::Typed::Placed);
    EXPECT_EQ(word(), (std::vector<Cell>{{2, 4}}));
    EXPECT_EQ(game.board().boardmarks(2, 4), Tile::NewestFrame);
    EXPECT_EQ(Tile::letterOf(game.board().slotTile(1)), QStringLiteral("a"));
    EXPECT_EQ(recorder.take(), (QStringList{"status ", "cue click"}));

    // A letter that is nowhere on the board is ignored without a sign.
    game.pressclear();
    recorder.take();
    EXPECT_EQ(type('q'), Game::Typed::Ignored);
    EXPECT_TRUE(recorder.log.isEmpty());
    EXPECT_EQ(game.board().wordlength(), 0);
}

// Beside the newest letter the lowest direction wins: left over right,
// up-left over down-right.
TEST_F(Typing, neighbourInDirectionOrder)
{
    on("xxxxxxxx"
       "xtxxxxxx"
       "xxcxxxxx"
       "xtbtxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx");
    type('c'); // (2,2)
    type('t'); // up-left (1,1) beats down-left (1,3) and down-right (3,3)
    EXPECT_EQ(word().back(), (Cell{1, 1}));
    game.pressclear();
    type('b'); // (2,3)
    type('t'); // left (1,3) is direction 2, right (3,3) direction 7
    EXPECT_EQ(word().back(), (Cell{1, 3}));
    EXPECT_EQ(game.board().boardmarks(2, 3), Tile::EarlierFrame);
    EXPECT_EQ(game.board().boardmarks(1, 3), Tile::NewestFrame);
}

// When no chain from the first "c" goes on to "a" then "t" but one from
// another "c" does, the whole word moves to that chain.
TEST_F(Typing, wordIsLaidOutAgainAlongAnotherChain)
{
    on("caxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxcxx"
       "xxxxxaxx"
       "xxxxxtxx"
       "xxxxxxxx");
    type('c');
    type('a');
    EXPECT_EQ(word(), (std::vector<Cell>{{0, 0}, {1, 0}}));
    recorder.take();
    EXPECT_EQ(type('t'), Game::Typed::Placed);
    EXPECT_EQ(word(), (std::vector<Cell>{{5, 4}, {5, 5}, {5, 6}}));
    EXPECT_EQ(game.board().boardmarks(0, 0), Tile::NoMark);
    EXPECT_EQ(game.board().boardmarks(1, 0), Tile::NoMark);
    EXPECT_EQ(game.board().boardmarks(5, 4), Tile::EarlierFrame);
    EXPECT_EQ(game.board().boardmarks(5, 5), Tile::EarlierFrame);
    EXPECT_EQ(game.board().boardmarks(5, 6), Tile::NewestFrame);
    EXPECT_EQ(Tile::letterOf(game.board().slotTile(1)), QStringLiteral("c"));
    EXPECT_EQ(Tile::letterOf(game.board().slotTile(2)), QStringLiteral("a"));
    EXPECT_EQ(Tile::letterOf(game.board().slotTile(3)), QStringLiteral("t"));
    EXPECT_EQ(game.board().lastcolumn(), 5);
    EXPECT_EQ(game.board().lastrow(), 6);
    EXPECT_EQ(recorder.take(), (QStringList{"status ", "cue click"}));
}

// A letter that fits nowhere leaves the word as it was, with "Invalid
// Selection" and "invalid"; the next letter is tried beside the same newest letter.
TEST_F(Typing, letterThatFitsNowhere)
{
    on("catxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxz");
    type('c');
    type('a');
    recorder.take();
    EXPECT_EQ(type('z'), Game::Typed::Invalid);
    EXPECT_EQ(recorder.take(), (QStringList{"status Invalid Selection", "cue invalid"}));
    EXPECT_EQ(word(), (std::vector<Cell>{{0, 0}, {1, 0}}));
    EXPECT_EQ(game.board().boardmarks(1, 0), Tile::NewestFrame);
    EXPECT_EQ(type('t'), Game::Typed::Placed);
    EXPECT_EQ(word().back(), (Cell{2, 0}));
    EXPECT_EQ(game.statusText(), QString());
}

// Picked and typed letters make one word: a typed letter goes beside the
// letter picked last.
TEST_F(Typing, mixingMouseAndKeyboard)
{
    on("cxxxxxxx"
       "xaxxxxxx"
       "xxtxxxxx"
       "txxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx");
    pick(game, {{0, 0}, {1, 1}});
    EXPECT_EQ(type('t'), Game::Typed::Placed);
    EXPECT_EQ(word(), (std::vector<Cell>{{0, 0}, {1, 1}, {2, 2}}));
}

// Backspace removes the newest letter silently; typing it again frames the
// same cell when it is the first neighbour that fits. A board with one "e"
// cannot take a second.
TEST_F(Typing, backspaceAndRetyping)
{
    on("xxxxxxxx"
       "xxxxxxxx"
       "xxxbxxxx"
       "xxxexxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx"
       "xxxxxxxx");
    type('b');
    type('e');
    recorder.take();
    EXPECT_TRUE(game.keyDown({KeyIntent::Kind::TakeBack}));
    EXPECT_EQ(game.board().wordlength(), 1);
    EXPECT_TRUE(recorder.cues().isEmpty());
    type('e');
    EXPECT_EQ(word().back(), (Cell{3, 3}));
    recorder.take();
    EXPECT_EQ(type('e'), Game::Typed::Invalid);
    EXPECT_EQ(game.statusText(), QStringLiteral("Invalid Selection"));
}

// The thirteenth letter is ignored without a sound.
TEST_F(Typing, thirteenthLetterIgnored)
{
    on("aaaaaaaa"
       "aaaaaaaa"
       "aaaaaaaa"
       "aaaaaaaa"
       "aaaaaaaa"
       "aaaaaaaa"
       "aaaaaaaa"
       "aaaaaaaa");
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(type('a'), Game::Typed::Placed);
    recorder.take();
    EXPECT_EQ(type('a'), Game::Typed::Ignored);
    EXPECT_TRUE(recorder.log.isEmpty());
    EXPECT_EQ(game.board().wordlength(), 12);
}

// The keys' intents: Send sends, Clear clears, Rotate turns the board,
// TakeBack deletes, letters type, any other key is taken and does nothing.
// Outside a game no key is taken.
TEST_F(Typing, keyTable)
{
    using Kind = KeyIntent::Kind;
    const auto letter = [](char c) { return KeyIntent{Kind::Letter, c - 'A' + 1}; };
    recorder.watch(game);
    game.enter();
    recorder.take();
    EXPECT_FALSE(game.keyDown(letter('A')));
    EXPECT_FALSE(game.keyDown({Kind::Send}));
    EXPECT_TRUE(recorder.log.isEmpty());

    startOn(game, QStringLiteral("carxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"));
    recorder.take();
    EXPECT_TRUE(game.keyDown(letter('C')));
    EXPECT_TRUE(game.keyDown(letter('A')));
    EXPECT_TRUE(game.keyDown(letter('R')));
    EXPECT_EQ(game.board().word(), QStringLiteral("car"));
    EXPECT_TRUE(game.keyDown({Kind::Clear}));
    EXPECT_EQ(game.board().wordlength(), 0);
    EXPECT_EQ(recorder.cues(), (QStringList{"cue click", "cue click", "cue click"}));

    EXPECT_TRUE(game.keyDown({Kind::Rotate}));
    EXPECT_EQ(game.board().rotation(), 1);
    EXPECT_TRUE(game.keyDown({Kind::Rotate}));
    EXPECT_EQ(game.board().rotation(), 2);

    EXPECT_TRUE(game.keyDown({Kind::Other})); // a key with no action is still taken
    recorder.take();
    game.keyDown(letter('X'));
    game.keyDown({Kind::Send});
    EXPECT_EQ(game.triedWords(), QStringList{"x"});
}
