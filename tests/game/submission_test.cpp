#include "dictionaryerror.h"
#include "game.h"
#include "gametestsupport.h"

#include <gtest/gtest.h>

namespace {

const std::initializer_list<Cell> cat{{0, 0}, {1, 0}, {2, 0}};

class Submission : public ::testing::Test
{
protected:
    void SetUp() override
    {
        recorder.words = {QStringLiteral("CAT"), QStringLiteral("CATS"), QStringLiteral("CATSDOGEIJK"),
                          QStringLiteral("CATSDOGEIJKL")};
        recorder.watch(game);
        startOn(game, sampleBoard);
        recorder.take();
    }

    void expectWordCleared()
    {
        EXPECT_EQ(game.board().wordlength(), 0);
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 8; ++r)
                EXPECT_EQ(game.board().boardmarks(c, r), -1);
        EXPECT_TRUE(game.board().minLettersShown());
    }

    GameRecorder recorder;
    Game game{recorder.services()};
};

} // namespace

// Sending an empty word does nothing: no text, no cue, nothing recorded.
TEST_F(Submission, emptyWordDoesNothing)
{
    game.pressdone();
    EXPECT_TRUE(recorder.log.isEmpty());
    EXPECT_TRUE(game.triedWords().isEmpty());
}

// Two letters are too few; the word is still remembered as tried and cleared.
TEST_F(Submission, twoLettersAreNotEnough)
{
    pick(game, {{0, 0}, {1, 0}});
    recorder.take();
    game.pressdone();
    EXPECT_EQ(recorder.take(), (QStringList{"status Not enough letters.", "cue invalid"}));
    EXPECT_EQ(game.triedWords(), QStringList{"ca"});
    expectWordCleared();
}

// A valid word scores by its length, is listed in upper case with its points,
// counts in the tally before the count label grows, and sounds "goodword";
// the status line stays as it was.
TEST_F(Submission, validWordScores)
{
    QStringList accepted;
    QObject::connect(&game, &Game::wordAccepted, [&](const QString &line) { accepted << line; });
    QStringList order;
    QObject::connect(&game, &Game::foundChanged, [&](const QString &text) { order << recorder.log.last() + " | " + text; });

    pick(game, cat);
    recorder.take();
    game.pressdone();
    EXPECT_EQ(recorder.take(), (QStringList{"tally +1 #2", "cue goodword"}));
    EXPECT_EQ(order, QStringList{"tally +1 #2 | Count: 1"});
    EXPECT_EQ(accepted, QStringList{"CAT : 1"});
    EXPECT_EQ(game.scoreText(), QStringLiteral("Score: 1"));
    EXPECT_EQ(game.foundText(), QStringLiteral("Count: 1"));
    EXPECT_EQ(game.statusText(), QStringLiteral("Click or Type a Word"));
    EXPECT_EQ(game.triedWords(), QStringList{"cat"});
    expectWordCleared();

    pick(game, {{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    game.pressdone();
    EXPECT_EQ(game.score(), 4);
    EXPECT_EQ(game.foundLines(), (QStringList{"CAT : 1", "CATS : 3"}));
}

// A word sent a second time is "already found", whatever its first verdict.
TEST_F(Submission, repeatsAreRefused)
{
    pick(game, cat);
    game.pressdone();
    pick(game, cat);
    recorder.take();
    game.pressdone();
    EXPECT_EQ(recorder.take(), (QStringList{"status You have already found that word.", "cue invalid"}));
    EXPECT_EQ(game.score(), 1);

    // "cats" with the S swapped for the O below it: not a word.
    pick(game, {{0, 0}, {1, 0}, {2, 0}, {3, 1}});
    game.pressdone();
    EXPECT_EQ(game.statusText(), QStringLiteral("Invalid Word."));
    pick(game, {{0, 0}, {1, 0}, {2, 0}, {3, 1}});
    game.pressdone();
    EXPECT_EQ(game.statusText(), QStringLiteral("You have already found that word."));
    EXPECT_EQ(game.triedWords(), (QStringList{"cat", "cat", "catm", "catm"}));
}

// Twelve letters score 30, eleven 22: the table ends with a jump.
TEST_F(Submission, longWordsScoreByTheTable)
{
    pick(game, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {7, 1}, {6, 1}, {5, 1}});
    game.pressdone();
    EXPECT_EQ(game.score(), 22);
    pick(game, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {7, 1}, {6, 1}, {5, 1}, {4, 1}});
    game.pressdone();
    EXPECT_EQ(game.score(), 52);
    EXPECT_EQ(game.foundLines().last(), QStringLiteral("CATSDOGEIJKL : 30"));

    const QList<int> points{0, 0, 0, 1, 3, 6, 9, 11, 13, 16, 19, 22, 30, 0};
    for (int letters = 0; letters < points.size(); ++letters)
        EXPECT_EQ(Game::pointsFor(letters), points[letters]) << letters;
}

// A look-up that fails with an error ends the send: the word is neither
// recorded as tried nor cleared, and the error reaches the caller.
TEST_F(Submission, lookUpErrorLeavesTheWord)
{
    class BrokenList : public WordChecker
    {
        bool checkword(const QString &) override { throw DictionaryError("Unable to read the word list"); }
    } broken;
    Game failing(Game::Services{&recorder, &recorder, &broken});
    startOn(failing, sampleBoard);
    pick(failing, cat);
    EXPECT_THROW(failing.pressdone(), DictionaryError);
    EXPECT_TRUE(failing.triedWords().isEmpty());
    EXPECT_EQ(failing.board().wordlength(), 3);
}

// Every game is scored on its own: a new game starts from 0 with empty lists,
// so a word found before may be found again.
TEST_F(Submission, newGameStartsAfresh)
{
    pick(game, cat);
    game.pressdone();
    bool listCleared = false;
    QObject::connect(&game, &Game::foundLinesCleared, [&] { listCleared = true; });
    startOn(game, sampleBoard);
    EXPECT_TRUE(listCleared);
    EXPECT_EQ(game.score(), 0);
    EXPECT_EQ(game.scoreText(), QStringLiteral("Score: 0"));
    EXPECT_EQ(game.foundText(), QStringLiteral("Count: 0"));
    EXPECT_TRUE(game.triedWords().isEmpty());
    pick(game, cat);
    game.pressdone();
    EXPECT_EQ(game.score(), 1);
}
