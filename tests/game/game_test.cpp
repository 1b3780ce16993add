#include "game.h"
#include "gameclock.h"
#include "gametestsupport.h"

#include <gtest/gtest.h>

namespace {

constexpr int Name = int(Game::Panel::Name);
constexpr int Cleared = int(Game::Panel::Cleared);

} // namespace

// Entering the program plays "entered", shows the name panel in front and
// leaves the board empty and the clock stopped.
TEST(GameFlow, enteringWaitsWithTheNamePanel)
{
    GameRecorder recorder;
    Game game(recorder.services());
    recorder.watch(game);
    game.enter();
    EXPECT_EQ(recorder.take(), (QStringList{"cue entered", QStringLiteral("panel %1 shown").arg(Name)}));
    EXPECT_FALSE(game.isPlaying());
    EXPECT_FALSE(game.isClockRunning());
    EXPECT_TRUE(game.panelShown(Game::Panel::Name));
    EXPECT_EQ(game.timerText(), QStringLiteral("Time: 0:00"));
    EXPECT_EQ(game.statusText(), QStringLiteral("Don't Get Tarvled!"));
    EXPECT_EQ(game.greetingText(), QStringLiteral("Welcome to Tarvle Solo!"));
    EXPECT_EQ(game.scoreText(), QStringLiteral("Score:"));
    EXPECT_EQ(game.foundText(), QStringLiteral("Count: 0"));
}

// START GAME hides the panels, counts a game in the tally before the
// "turnnew" cue, greets the player and starts the clock at 180 seconds with a
// full bar; the time label keeps its text until the first tick.
TEST(GameFlow, startGameInOrder)
{
    GameRecorder recorder;
    Game game(recorder.services());
    recorder.watch(game);
    game.enter();
    game.setPlayerName(QStringLiteral("Ann"));
    recorder.take();

    startOn(game, sampleBoard);
    EXPECT_EQ(recorder.take(), (QStringList{QStringLiteral("panel %1 hidden").arg(Name), "tally +1 #1",
                                            "cue turnnew", "status Click or Type a Word"}));
    EXPECT_TRUE(game.isPlaying());
    EXPECT_TRUE(game.isClockRunning());
    EXPECT_EQ(game.secondsLeft(), 180);
    EXPECT_EQ(game.barWidth(), 165);
    EXPECT_EQ(game.barShift(), 11);
    EXPECT_EQ(game.greetingText(), QStringLiteral("Good Luck Ann"));
    EXPECT_EQ(game.timerText(), QStringLiteral("Time: 0:00"));
    EXPECT_EQ(game.scoreText(), QStringLiteral("Score: 0"));
    EXPECT_EQ(game.foundText(), QStringLiteral("Count: 0"));
    EXPECT_TRUE(game.wordButtonsShown());
    EXPECT_FALSE(game.isMouseHeld());

    game.setPlayerName(QString());
    game.startGame();
    EXPECT_EQ(game.greetingText(), QStringLiteral("Good Luck "));
}

// A whole game, one tick at a time: the clock text, its colour, the bar and
// the twelve warning ticks; then the end in its order.
TEST(GameFlow, wholeGameTickByTick)
{
    GameRecorder recorder;
    Game game(recorder.services());
    recorder.watch(game);
    game.setPlayerName(QStringLiteral("Bo"));
    startOn(game, sampleBoard);
    recorder.take();

    QList<int> tickedAt;
    for (int left = 179; left >= 1; --left) {
        game.tick();
        ASSERT_EQ(game.secondsLeft(), left);
        EXPECT_EQ(game.clockPhase(), left >= 20 ? Game::ClockPhase::Calm : Game::ClockPhase::Hurry) << left;
        if (recorder.take().contains(QStringLiteral("cue tick")))
            tickedAt << left;
        switch (left) {
        case 179:
            EXPECT_EQ(game.timerText(), QStringLiteral("Time: 2:59"));
            EXPECT_EQ(game.barWidth(), 168);
            break;
        case 166:
            EXPECT_EQ(game.barWidth(), 155);
            break;
        case 165:
            EXPECT_EQ(game.barWidth(), 155);
            EXPECT_EQ(game.barShift(), 10);
            break;
        case 164:
            EXPECT_EQ(game.barWidth(), 154);
            break;
        case 65:
            EXPECT_EQ(game.timerText(), QStringLiteral("Time: 1:05"));
            break;
        case 60:
            EXPECT_EQ(game.timerText(), QStringLiteral("Time: 1:00"));
            break;
        case 15:
            EXPECT_EQ(game.barWidth(), 15);
            EXPECT_EQ(game.barShift(), 0);
            break;
        case 9:
            EXPECT_EQ(game.timerText(), QStringLiteral("Time: 0:09"));
            break;
        case 1:
            EXPECT_EQ(game.barWidth(), 1);
            break;
        }
    }
    EXPECT_EQ(tickedAt, (QList<int>{20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_TRUE(game.isPlaying());

    game.tick();
    EXPECT_EQ(recorder.take(), (QStringList{"tally score 0 Bo", "tally +0 #3",
                                            QStringLiteral("panel %1 shown").arg(Cleared), "cue gameover"}));
    EXPECT_FALSE(game.isPlaying());
    EXPECT_FALSE(game.isClockRunning());
    EXPECT_EQ(game.secondsLeft(), 0);
    EXPECT_EQ(game.timerText(), QStringLiteral("Time: 0:00"));
    EXPECT_EQ(game.barWidth(), 0);
    EXPECT_FALSE(game.wordButtonsShown());
    EXPECT_EQ(game.finalScoreText(), QStringLiteral("Your Score: 0"));
}

// After the end the board and a half-built word stay, and no input changes them.
TEST(GameFlow, nothingChangesAfterTheEnd)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    pick(game, {{0, 0}, {1, 0}});
    for (int i = 0; i < 180; ++i)
        game.tick();
    ASSERT_FALSE(game.isPlaying());
    recorder.take();

    const Board before = game.board();
    game.pressdone();
    game.pressclear();
    EXPECT_EQ(game.board().wordlength(), 2);
    EXPECT_EQ(game.board().boardmarks(1, 0), before.boardmarks(1, 0));
    EXPECT_EQ(game.board().boardletters(5, 5), before.boardletters(5, 5));
    EXPECT_TRUE(recorder.log.isEmpty());
}

// START GAME during a game deals anew with 180 seconds on a clock that keeps
// running; START GAME after the end removes the game-over panel.
TEST(GameFlow, restartingAGame)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    for (int i = 0; i < 30; ++i)
        game.tick();
    game.startGame();
    EXPECT_EQ(game.secondsLeft(), 180);
    EXPECT_TRUE(game.isClockRunning());

    for (int i = 0; i < 180; ++i)
        game.tick();
    ASSERT_TRUE(game.panelShown(Game::Panel::Cleared));
    game.startGame();
    EXPECT_FALSE(game.panelShown(Game::Panel::Cleared));
    EXPECT_TRUE(game.wordButtonsShown());
    EXPECT_TRUE(game.isPlaying());
}

// The clock drives the game: START GAME starts it, each tick is a second of
// the game, and the end stops it. The program's clock ticks once a second.
TEST(GameFlow, clockTimerTicks)
{
    GameRecorder recorder;
    ManualClock clock;
    Game game(recorder.services(&clock));
    EXPECT_FALSE(clock.isActive());
    startOn(game, sampleBoard);
    EXPECT_TRUE(clock.isActive());
    clock.advance();
    EXPECT_EQ(game.secondsLeft(), 179);
    for (int second = 179; second > 0; --second)
        clock.advance();
    EXPECT_FALSE(game.isPlaying());
    EXPECT_FALSE(clock.isActive());

    EXPECT_EQ(SecondTimer().interval(), 1000);
}

// A game without a tally or sound attached still runs to its end.
TEST(GameFlow, runsWithoutServices)
{
    Game game(Game::Services{});
    game.enter();
    game.setDraw(drawBoard(sampleBoard));
    game.startGame();
    pick(game, {{0, 0}, {1, 0}, {2, 0}});
    game.pressdone();
    EXPECT_EQ(game.statusText(), QStringLiteral("Invalid Word."));
    for (int i = 0; i < 180; ++i)
        game.tick();
    EXPECT_FALSE(game.isPlaying());
}

// The clock text: minutes, a colon and two-digit seconds.
TEST(GameFlow, clockText)
{
    EXPECT_EQ(Game::clockText(180), QStringLiteral("Time: 3:00"));
    EXPECT_EQ(Game::clockText(179), QStringLiteral("Time: 2:59"));
    EXPECT_EQ(Game::clockText(70), QStringLiteral("Time: 1:10"));
    EXPECT_EQ(Game::clockText(5), QStringLiteral("Time: 0:05"));
}
