#pragma once

#include "cueplayer.h"
#include "game.h"
#include "gameclock.h"
#include "sampleboard.h"
#include "tallybook.h"
#include "wordchecker.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// Stands in for the sound, tally and word list around a game, and writes
// every call, together with the game's reported texts and panels, into one
// log so a test can check their order.
class GameRecorder : public CuePlayer, public TallyBook, public WordChecker
{
public:
    QStringList log;
    QSet<QString> words;

    void playsounds(Cue cue) override { log << QStringLiteral("cue ") + cueName(cue); }
    void addtomineincrease(Counter counter) override { log << QStringLiteral("tally +1 #%1").arg(int(counter)); }
    void addtoit(Counter counter, int amount) override
    {
        log << QStringLiteral("tally +%2 #%1").arg(int(counter)).arg(amount);
    }
    bool checkscore(int score, const QString &name) override
    {
        log << QStringLiteral("tally score %1 %2").arg(score).arg(name);
        return true;
    }
    bool checkword(const QString &word) override { return words.contains(word.toUpper()); }

    Game::Services services(GameClock *clock = nullptr) { return Game::Services{this, this, this, clock}; }

    // Records the game's reports as they happen.
    void watch(Game &game)
    {
        QObject::connect(&game, &Game::statusChanged, [this](const QString &t) { log << QStringLiteral("status ") + t; });
        QObject::connect(&game, &Game::panelShownChanged, [this](Game::Panel p, bool shown) {
            log << QStringLiteral("panel %1 %2").arg(int(p)).arg(shown ? QStringLiteral("shown") : QStringLiteral("hidden"));
        });
    }

    QStringList cues() const { return log.filter(QStringLiteral("cue ")); }
    QStringList take()
    {
        QStringList taken = log;
        log.clear();
        return taken;
    }
};

// A game clock that ticks when the test says so.
class ManualClock : public GameClock
{
public:
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    // One second, if the clock runs.
    void advance()
    {
        if (m_active)
            emit ticked();
    }

private:
    bool m_active = false;
};

// The sample board (sampleboard.h) as the game's tests write boards.
inline const QString sampleBoard = QString::fromLatin1(SampleBoardText);

// A draw for the deal that lays out the board given in reading order (the
// top row left to right, then the next row): 64 letters a..z.
std::function<int()> drawBoard(const QString &letters);

// Starts a game on the given board.
void startOn(Game &game, const QString &letters);

// Plays one game on the sample board: types the word, sends it and runs the
// clock out.
void playWordGame(Game &game, const char *word);

// Adds the cells to the word as clicks would, asserting each may be added.
void pick(Game &game, std::initializer_list<Cell> cells);
