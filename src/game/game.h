#pragma once

#include "board.h"
#include "boardcode.h"
#include "boardreview.h"
#include "cue.h"

#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class CuePlayer;
class GameClock;
class TallyBook;
class WordChecker;

// What a key of the main window asks of the game; the window reads the keys.
struct KeyIntent {
    enum class Kind { Other, Letter, Send, TakeBack, Clear, Rotate };
    Kind kind = Kind::Other;
    int letter = 0; // the tile code of a Letter
};

// One player's games from program start to exit: the board and word, the
// 180-second clock, word submission and the texts the main window shows.
// Owns the board; the cue player, tally, word list and clock are borrowed
// and outlive the game. Every side effect whose order matters (cues, tally
// calls, texts, panels) is reported as it happens. Knows nothing of pixels,
// colours or key codes: the window turns those into cells and intents, and
// draws the states reported here.
class Game : public QObject, private BoardObserver
{
    Q_OBJECT

public:
    // The game's own panels: the name entry while waiting, and game over.
    enum class Panel { Name, Cleared };
    // How the mouse picks letters; the number is what the settings store.
    enum class Method { ClickLetters = 0, Dragging = 1 };
    // What became of a typed letter.
    enum class Typed { Placed, Invalid, Ignored };
    // The clock's look: calm, then hurrying in the last 20 seconds.
    enum class ClockPhase { Calm, Hurry };

    static constexpr int GameSeconds = 180;
    static constexpr int FullBarWidth = 165;
    static constexpr int FirstBarShift = 11;

    struct Services {
        CuePlayer *cues = nullptr;
        TallyBook *tally = nullptr;
        WordChecker *words = nullptr;
        GameClock *clock = nullptr; // null: the game's own one-second timer
    };

    explicit Game(Services services, QObject *parent = nullptr);
    ~Game() override;

    const Board &board() const { return m_board; }
    bool isPlaying() const { return m_playing; }
    bool isMouseHeld() const { return m_mouseheld; }
    int secondsLeft() const { return m_secondsleft; }
    int barShift() const { return m_barshift; }
    int barWidth() const { return m_barWidth; }
    int score() const { return m_score; }
    int foundCount() const { return m_foundcount; }
    bool isClockRunning() const;
    Method selectionMethod() const { return m_method; }
    void setSelectionMethod(Method method) { m_method = method; }

    QString statusText() const { return m_status; }
    QString greetingText() const { return m_greeting; }
    QString scoreText() const { return m_scoreText; }
    QString foundText() const { return m_foundText; }
    QString timerText() const { return m_timerText; }
    ClockPhase clockPhase() const { return m_clockPhase; }
    QString finalScoreText() const { return m_finalScoreText; }
    bool wordButtonsShown() const { return m_wordButtonsShown; }
    bool panelShown(Panel panel) const;
    // Lines of the found-words list, oldest first, and every word sent.
    QStringList foundLines() const { return m_foundLines; }
    QStringList triedWords() const { return m_triedWords; }
    // The words accepted in this or the last game, in the order found.
    QStringList foundWords() const { return m_foundWords; }

    QString playerName() const { return m_playerName; }
    void setPlayerName(const QString &name);

    void seed(quint32 value) { m_random.seed(value); }
    void seedFromClock();
    // Replaces the random draws of the deal (each 1..98); for laying out a
    // known board. Such a board has no seed.
    void setDraw(std::function<int()> draw) { m_draw = std::move(draw); }
    // The seed the board of this or the last game was dealt from; nothing
    // before the first game and for a board laid out by setDraw().
    std::optional<rules::Seed> boardSeed() const { return m_boardSeed; }
    // The review of the last game's board: made when the clock runs out,
    // kept until the next game starts; null before and during a game.
    const BoardReview *review() const { return m_review.get(); }

    // The game's part of the main window's creation: waiting for the first
    // game with the name panel in front and an empty board.
    void enter();
    // START GAME: a board from a fresh random seed (or the draws set).
    void startGame();
    // The same start on the board of a given seed.
    void startGame(rules::Seed seed);
    // One second of the game clock; driven by the clock.
    void tick();
    void pressdone();
    void pressclear();
    void deleteoneletter();
    // Whether a cell may join the current word now.
    bool pickable(int column, int row) const;
    void addPickedCell(int column, int row);
    void rotateboard();

    // The board's mouse events, as the cell under the pointer. A cell off
    // the board is refused like any other. A drag counts a cell only once
    // the pointer is inside its inner zone; moves also arrive from outside
    // the board while a button is held.
    void mouseDown(bool rightButton, Cell cell);
    void mouseMove(Cell cell, bool insideInnerZone);
    void mouseUp();
    // A click on a slot of the word display (slots 1..12).
    void slotClicked(int slot);

    // A key pressed in the main window: true when the game took it, which
    // it does with every key while a game runs.
    bool keyDown(KeyIntent intent);
    Typed typetheletter(int code);

    void showPanel(Panel panel);
    void hidePanel(Panel panel);
    void playsounds(Cue cue);

    static int pointsFor(int letters);
    static QString clockText(int seconds);

signals:
    void cellChanged(int column, int row);
    void slotChanged(int slot);
    void statusChanged(const QString &text);
    void greetingChanged(const QString &text);
    void scoreChanged(const QString &text);
    void foundChanged(const QString &text);
    void timerChanged(const QString &text, Game::ClockPhase phase);
    void barWidthChanged(int width);
    void finalScoreChanged(const QString &text);
    void wordButtonsShownChanged(bool shown);
    void panelShownChanged(Game::Panel panel, bool shown);
    void wordAccepted(const QString &line);
    void foundLinesCleared();
    // The hidden list of tried words follows these two.
    void wordTried(const QString &word);
    void triedWordsCleared();
    // review() was made or dropped.
    void reviewChanged();

private:
    void cellDrawn(int column, int row) override { emit cellChanged(column, row); }
    void slotDrawn(int slot) override { emit slotChanged(slot); }

    void clearall();
    void begin(std::optional<rules::Seed> seed);
    void endGame();
    void clickonletter(Cell cell);
    void setStatus(const QString &text);
    void setScore(int score);
    void setFoundcount(int count);
    void setTimer(const QString &text, ClockPhase phase);
    void setBarWidth(int width);
    void setWordButtonsShown(bool shown);

    Services m_services;
    std::unique_ptr<GameClock> m_ownClock;
    GameClock *m_turntime;
    Board m_board;
    QRandomGenerator m_random;
    std::function<int()> m_draw;

    bool m_playing = false;
    bool m_mouseheld = false;
    Method m_method = Method::ClickLetters;
    Cell m_hover{0, 0}; // the cell a drag last went over
    int m_secondsleft = 0;
    int m_barshift = FirstBarShift;
    int m_barWidth = FullBarWidth;
    int m_score = 0;
    int m_foundcount = 0;
    bool m_wordButtonsShown = true;
    std::array<bool, 2> m_panels{};

    QString m_status = tr("Don't Get Tarvled!");
    QString m_greeting = tr("Welcome to Tarvle Solo!");
    QString m_scoreText = tr("Score:");
    QString m_foundText = tr("Count: 0");
    QString m_timerText = tr("Time: 0:00");
    ClockPhase m_clockPhase = ClockPhase::Hurry;
    QString m_finalScoreText = tr("Your Score: ");
    QString m_playerName = QStringLiteral("Guest");
    QStringList m_foundLines;
    QStringList m_triedWords;
    QStringList m_foundWords; // the accepted words of this game, lower case
    std::optional<rules::Seed> m_boardSeed;
    std::unique_ptr<const BoardReview> m_review;
};
