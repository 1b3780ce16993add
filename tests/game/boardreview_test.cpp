#include "boardreview.h"
#include "boardtext.h"
#include "builtinwords.h"
#include "dealdice.h"
#include "game.h"
#include "gametestsupport.h"
#include "readingorder.h"
#include "solver.h"
#include "wordpath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Types a word on the board as the keyboard does and sends it.
void send(Game &game, const QString &word)
{
    for (QChar letter : word)
        game.typetheletter(letter.toLower().unicode() - u'a' + 1);
    game.pressdone();
}

void runOut(Game &game)
{
    while (game.isPlaying())
        game.tick();
}

QStringList wordsOf(const BoardReview &review, const std::vector<int> &indexes)
{
    QStringList words;
    for (int index : indexes)
        words << review.entries()[std::size_t(index)].word;
    return words;
}

// A small list whose ranks the tests set, on a board that spells all of it.
struct SmallList {
    rules::BuiltWordGraph graph;
    rules::Letters letters;
};

SmallList smallList()
{
    // E A over T S in a corner: every word of those four letters lies there.
    SmallList list{rules::buildWordGraph({"ate", "eat", "tea", "teas", "seat", "east", "sate", "zzz"}), {}};
    // Ranks by the alphabetical number: ate east eat sate seat tea teas zzz.
    list.graph.ranks = {5, 0, 2, 0, 3, 1, 0, 4};
    list.letters = rules::parseBoard("eaxxxxxx"
                                     "tsxxxxxx"
                                     "xxxxxxxx"
                                     "xxxxxxxx"
                                     "xxxxxxxx"
                                     "xxxxxxxx"
                                     "xxxxxxxx"
                                     "xxxxxxxx")
                       .value();
    return list;
}

} // namespace

// START GAME deals from a fresh seed, and the board is that seed's board.
TEST(SeededGame, startGameDealsFromAFreshSeed)
{
    GameRecorder recorder;
    Game game(recorder.services());
    game.seed(7);
    EXPECT_FALSE(game.boardSeed());
    game.startGame();
    ASSERT_TRUE(game.boardSeed());
    const rules::Seed first = *game.boardSeed();
    EXPECT_LE(first, rules::SeedMask);
    const rules::Letters dealt = rules::dealFromSeed(first);
    for (int column = 0; column < 8; ++column) {
        for (int row = 0; row < 8; ++row)
            EXPECT_EQ(game.board().baseletters(column, row), dealt[std::size_t(rules::cellIndex(column, row))]);
    }
    game.startGame();
    EXPECT_NE(*game.boardSeed(), first);
}

// A game on a given seed starts exactly as START GAME does: the same calls
// to the tally and cues in the same order, on that seed's board.
TEST(SeededGame, aGivenSeedStartsAnOrdinaryGame)
{
    GameRecorder plain;
    GameRecorder seeded;
    Game plainGame(plain.services());
    Game seededGame(seeded.services());
    plain.watch(plainGame);
    seeded.watch(seededGame);
    plainGame.enter();
    seededGame.enter();
    plainGame.startGame();
    seededGame.startGame(0x1234567890u);
    EXPECT_EQ(seeded.take(), plain.take());
    EXPECT_EQ(seededGame.boardSeed(), rules::Seed(0x1234567890u));
    EXPECT_EQ(seededGame.board().letters(), rules::dealFromSeed(0x1234567890u));
    EXPECT_TRUE(seededGame.isPlaying());
    EXPECT_EQ(seededGame.secondsLeft(), 180);
    runOut(seededGame);
    runOut(plainGame);
    EXPECT_EQ(seeded.take(), plain.take());
    // A seed given with bits above the 40 of a seed plays the 40 bits.
    seededGame.startGame((rules::Seed(1) << 45) | 9);
    EXPECT_EQ(seededGame.boardSeed(), rules::Seed(9));
}

// The draws set for a known board still lay it out; such a board has no seed.
TEST(SeededGame, drawsGiveABoardWithoutSeed)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    EXPECT_FALSE(game.boardSeed());
    EXPECT_EQ(game.board().letters(), BoardText::parse(sampleBoard).value());
}

// The review comes when the clock runs out, marks the words the player
// found, and goes when the next game starts.
TEST(GameReview, madeAtTheEndAndDroppedAtTheNextStart)
{
    GameRecorder recorder;
    Game game(recorder.services());
    int changed = 0;
    QObject::connect(&game, &Game::reviewChanged, [&changed] { ++changed; });
    EXPECT_EQ(game.review(), nullptr);
    game.startGame(0);
    EXPECT_EQ(game.review(), nullptr);
    EXPECT_EQ(changed, 0);

    // Three words that the board holds, and one twice.
    rules::Solver solver(rules::builtInWords());
    const rules::Solution solution = solver.solve(rules::dealFromSeed(0));
    ASSERT_GT(solution.words.size(), 10u);
    QStringList played;
    for (std::size_t i : {std::size_t(0), std::size_t(5), std::size_t(9)}) {
        played << QString::fromStdString(solution.words[i].word);
        recorder.words.insert(played.back());
        send(game, played.back());
    }
    send(game, played.front());
    ASSERT_EQ(game.foundCount(), 3);
    runOut(game);

    ASSERT_NE(game.review(), nullptr);
    EXPECT_EQ(changed, 1);
    const BoardReview &review = *game.review();
    EXPECT_EQ(review.code(), QStringLiteral("00000000"));
    EXPECT_EQ(review.wordCount(), 1037);
    EXPECT_EQ(review.totalPoints(), 4938);
    EXPECT_EQ(review.foundCount(), 3);
    QStringList marked;
    for (const BoardReview::Entry &entry : review.entries()) {
        if (entry.found)
            marked << entry.word;
    }
    EXPECT_EQ(marked, played);
    EXPECT_EQ(review.foundPoints(), game.score());
    EXPECT_TRUE(review.summaryText().startsWith(QStringLiteral("You found 3 of 1,037 words and %1 of 4,938 points (")
                                                     .arg(game.score())))
        << review.summaryText().toStdString();

    game.startGame();
    EXPECT_EQ(game.review(), nullptr);
    EXPECT_EQ(changed, 2);
}

// The review is of the board as shown at the end: turned, its paths lie on
// the turned letters.
TEST(GameReview, followsTheTurnedBoard)
{
    GameRecorder recorder;
    Game game(recorder.services());
    game.startGame(42);
    game.rotateboard();
    runOut(game);
    ASSERT_NE(game.review(), nullptr);
    EXPECT_EQ(game.review()->letters(), game.board().letters());
    EXPECT_NE(game.review()->letters(), rules::dealFromSeed(42));
    EXPECT_EQ(game.review()->code(), QStringLiteral("0000001A"));
}

// A board laid out by draws has no code to show.
TEST(GameReview, aBoardWithoutSeedHasNoCode)
{
    GameRecorder recorder;
    Game game(recorder.services());
    startOn(game, sampleBoard);
    runOut(game);
    ASSERT_NE(game.review(), nullptr);
    EXPECT_TRUE(game.review()->code().isEmpty());
    EXPECT_GT(game.review()->wordCount(), 0);
}

// Totals, the counts by length and the summary of a small list.
TEST(BoardReview, countsWordsAndPoints)
{
    const SmallList list = smallList();
    const BoardReview review(list.letters, rules::Seed(31), {"eat", "TEAS", "notonboard"}, list.graph.view());
    EXPECT_EQ(review.code(), QStringLiteral("0000000Z"));
    EXPECT_EQ(wordsOf(review, review.listed(BoardReview::Show::All, BoardReview::Order::Alphabetical)),
              (QStringList{"ATE", "EAST", "EAT", "SATE", "SEAT", "TEA", "TEAS"}));
    EXPECT_EQ(review.wordCount(), 7);
    EXPECT_EQ(review.totalPoints(), 3 * 1 + 4 * 3);
    EXPECT_EQ(review.foundCount(), 2);
    EXPECT_EQ(review.foundPoints(), 4);
    EXPECT_EQ(review.wordsOfLength()[0], 3);
    EXPECT_EQ(review.wordsOfLength()[1], 4);
    EXPECT_EQ(review.wordsOfLength()[2], 0);
    EXPECT_EQ(review.foundOfLength()[0], 1);
    EXPECT_EQ(review.foundOfLength()[1], 1);
    EXPECT_EQ(review.summaryText(), QStringLiteral("You found 2 of 7 words and 4 of 15 points (26.7 %)"));
    for (const BoardReview::Entry &entry : review.entries()) {
        std::vector<int> codes;
        for (QChar c : entry.word)
            codes.push_back(c.unicode() - u'A' + 1);
        EXPECT_TRUE(rules::spellsAlong(review.letters(), codes, entry.path)) << entry.word.toStdString();
    }
}

// The missed words come commonest first by default, words without a rank
// last; the other orders break their ties the same way.
TEST(BoardReview, ordersTheLists)
{
    using Order = BoardReview::Order;
    using Show = BoardReview::Show;
    const SmallList list = smallList();
    const BoardReview review(list.letters, std::nullopt, {"tea"}, list.graph.view());
    // Ranks: tea 1, eat 2, seat 3, ate 5; east, sate and teas have none.
    EXPECT_EQ(wordsOf(review, review.listed(Show::Missed, Order::Commonest)),
              (QStringList{"EAT", "SEAT", "ATE", "EAST", "SATE", "TEAS"}));
    EXPECT_EQ(wordsOf(review, review.listed(Show::All, Order::Commonest)),
              (QStringList{"TEA", "EAT", "SEAT", "ATE", "EAST", "SATE", "TEAS"}));
    EXPECT_EQ(wordsOf(review, review.listed(Show::Found, Order::Commonest)), (QStringList{"TEA"}));
    EXPECT_EQ(wordsOf(review, review.listed(Show::All, Order::MostPoints)),
              (QStringList{"SEAT", "EAST", "SATE", "TEAS", "TEA", "EAT", "ATE"}));
    EXPECT_EQ(wordsOf(review, review.listed(Show::All, Order::FewestPoints)),
              (QStringList{"TEA", "EAT", "ATE", "SEAT", "EAST", "SATE", "TEAS"}));
    EXPECT_EQ(review.listed(Show::All, Order::Longest), review.listed(Show::All, Order::MostPoints));
    EXPECT_EQ(review.listed(Show::All, Order::Shortest), review.listed(Show::All, Order::FewestPoints));
    EXPECT_EQ(wordsOf(review, review.listed(Show::Missed, Order::Alphabetical)),
              (QStringList{"ATE", "EAST", "EAT", "SATE", "SEAT", "TEAS"}));
}

// The share is of the points, to one decimal, and never claims all or
// none of them when that is not so; a board without words is no trouble.
TEST(BoardReview, shareOfThePoints)
{
    const SmallList list = smallList();
    EXPECT_EQ(BoardReview(list.letters, std::nullopt, {}, list.graph.view()).shareText(), QStringLiteral("0.0"));
    EXPECT_EQ(BoardReview(list.letters, std::nullopt, {"ate", "eat", "tea", "teas", "seat", "sate", "east"},
                          list.graph.view())
                  .summaryText(),
              QStringLiteral("You found 7 of 7 words and 15 of 15 points (100.0 %)"));

    const rules::Letters seedBoard = rules::dealFromSeed(0);
    const BoardReview full(seedBoard, rules::Seed(0), {}, rules::builtInWords());
    // Every word but one of three letters, and that one alone.
    QString left;
    QStringList allButOne;
    for (const BoardReview::Entry &entry : full.entries()) {
        if (left.isEmpty() && entry.points == 1)
            left = entry.word;
        else
            allButOne << entry.word;
    }
    const BoardReview nearly(seedBoard, rules::Seed(0), allButOne, rules::builtInWords());
    EXPECT_EQ(nearly.foundPoints(), 4937);
    EXPECT_EQ(nearly.shareText(), QStringLiteral("99.9")); // 99.98 would round to 100.0
    const BoardReview one(seedBoard, rules::Seed(0), {left}, rules::builtInWords());
    EXPECT_EQ(one.shareText(), QStringLiteral("0.1")); // 0.02 would round to 0.0
    EXPECT_EQ(one.summaryText(), QStringLiteral("You found 1 of 1,037 words and 1 of 4,938 points (0.1 %)"));

    rules::Letters empty{};
    const BoardReview nothing(empty, std::nullopt, {"cat"}, rules::builtInWords());
    EXPECT_EQ(nothing.summaryText(), QStringLiteral("You found 0 of 0 words and 0 of 0 points (0.0 %)"));
    EXPECT_TRUE(nothing.listed(BoardReview::Show::Missed, BoardReview::Order::Commonest).empty());
}
