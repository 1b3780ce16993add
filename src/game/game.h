#pragma once

#include "board.h"

#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>

class CuePlayer;
class TallyBook;
class WordChecker;

// One player's games from program start to exit: the board and word, the
// 180-second clock, word submission and the texts the main window shows.
// Owns the board; the cue player, tally and word list are borrowed and
// outlive the game. Every side effect whose order matters (cues, tally
// calls, texts, panels) is reported as it happens.
class Game : public QObject, private BoardObserver
{
    Q_OBJECT

public:
    enum class Panel { Name, Cleared, Wait, Update };
    // How the mouse picks letters; the number is what the settings store.
    enum Method { ClickLetters = 0, Dragging = 1 };
    // What became of a typed letter.
    enum class Typed { Placed, Invalid, Ignored };

    // Key codes the keyboard handler understands.
    static constexpr int KeyBackspace = 8;
    static constexpr int KeyEnter = 13;
    static constexpr int Key0 = 48;
    static constexpr int Key1 = 49;
    static constexpr int KeyA = 65;
    static constexpr int KeyR = 82;
    static constexpr int KeyZ = 90;

    static constexpr int GameSeconds = 180;
    static constexpr int FullBarWidth = 165;
    static constexpr int FirstBarShift = 11;
    static constexpr unsigned TimerColorCalm = 0xE0E39D;
    static constexpr unsigned TimerColorHurry = 0xFFFFC6;
    static constexpr unsigned FoundWordColor = 0xFFFFC6;

    struct Services {
        CuePlayer *cues = nullptr;
        TallyBook *tally = nullptr;
        WordChecker *words = nullptr;
    };

    explicit Game(Services services, QObject *parent = nullptr);
    ~Game() override;

    const Board &board() const { return m_board; }
    bool playing() const { return m_playing; }
    bool mouseheld() const { return m_mouseheld; }
    int secondsleft() const { return m_secondsleft; }
    int barshift() const { return m_barshift; }
    int barWidth() const { return m_barWidth; }
    int score() const { return m_score; }
    int foundcount() const { return m_foundcount; }
    bool clockRunning() const { return m_turntime.isActive(); }
    int selectionMethod() const { return m_method; }
    void setSelectionMethod(int method) { m_method = method == Dragging ? Dragging : ClickLetters; }
    int hovercolumn() const { return m_hovercolumn; }
    int hoverrow() const { return m_hoverrow; }

    QString statusText() const { return m_status; }
    QString greetingText() const { return m_greeting; }
    QString scoreText() const { return m_scoreText; }
    QString foundText() const { return m_foundText; }
    QString timerText() const { return m_timerText; }
    unsigned timerColor() const { return m_timerColor; }
    QString finalScoreText() const { return m_finalScoreText; }
    bool wordButtonsShown() const { return m_wordButtonsShown; }
    bool panelShown(Panel panel) const;
    // Lines of the found-words list, oldest first, and every word sent.
    QStringList foundLines() const { return m_foundLines; }
    QStringList triedWords() const { return m_triedWords; }

    QString playerName() const { return m_playerName; }
    void setPlayerName(const QString &name);

    void seed(quint32 value) { m_random.seed(value); }
    void seedFromClock();
    // Replaces the random draws of the deal (each 1..98); for laying out a
    // known board.
    void setDraw(std::function<int()> draw) { m_draw = std::move(draw); }

    // The game's part of the main window's creation: waiting for the first
    // game with the name panel in front and an empty board.
    void enter();
    void startGame();
    // One second of the game clock; driven by the clock's timer.
    void tick();
    void pressdone();
    void pressclear();
    void deleteoneletter();
    // Whether a cell may join the current word now.
    bool pickable(int column, int row) const;
    void addPickedCell(int column, int row);
    void rotateboard();

    // The board's mouse events, in pixels of the board surface. Moves also
    // arrive from outside the board while a button is held.
    void mouseDown(bool rightButton, int x, int y);
    void mouseMove(int x, int y);
    void mouseUp();
    // A click on a slot of the word display (slots 1..12).
    void slotClicked(int slot);

    // A key pressed in the main window: true when the game took it, which
    // it does with every key while a game runs.
    bool keyDown(int key, bool ctrl);
    Typed typetheletter(int code);

    void showPanel(Panel panel);
    void hidePanel(Panel panel);
    void playsounds(const QString &name);

    static int pointsFor(int letters);
    static QString clockText(int seconds);

signals:
    void cellChanged(int column, int row);
    void slotChanged(int slot);
    void statusChanged(const QString &text);
    void greetingChanged(const QString &text);
    void scoreChanged(const QString &text);
    void foundChanged(const QString &text);
    void timerChanged(const QString &text, unsigned color);
    void barWidthChanged(int width);
    void finalScoreChanged(const QString &text);
    void wordButtonsShownChanged(bool shown);
    void panelShownChanged(Game::Panel panel, bool shown);
    void wordAccepted(const QString &line, unsigned color);
    void foundLinesCleared();
    // The hidden list of tried words follows these two.
    void wordTried(const QString &word);
    void triedWordsCleared();

private:
    void cellDrawn(int column, int row) override { emit cellChanged(column, row); }
    void slotDrawn(int slot) override { emit slotChanged(slot); }

    void clearall();
    void endGame();
    void clickonletter(Cell cell);
    bool insideInnerZone(int column, int row, int x, int y) const;
    void setStatus(const QString &text);
    void setScore(int score);
    void setFoundcount(int count);
    void setTimer(const QString &text, unsigned color);
    void setBarWidth(int width);
    void setWordButtonsShown(bool shown);

    Services m_services;
    Board m_board;
    QRandomGenerator m_random;
    std::function<int()> m_draw;
    QTimer m_turntime;

    bool m_playing = false;
    bool m_mouseheld = false;
    int m_method = ClickLetters;
    int m_hovercolumn = 0;
    int m_hoverrow = 0;
    int m_secondsleft = 0;
    int m_barshift = FirstBarShift;
    int m_barWidth = FullBarWidth;
    int m_score = 0;
    int m_foundcount = 0;
    bool m_wordButtonsShown = true;
    std::array<bool, 4> m_panels{};

    QString m_status = QStringLiteral("Don't Get Tarvled!");
    QString m_greeting = QStringLiteral("Welcome to Tarvle Solo!");
    QString m_scoreText = QStringLiteral("Score:");
    QString m_foundText = QStringLiteral("Count: 0");
    QString m_timerText = QStringLiteral("Time: 0:00");
    unsigned m_timerColor = TimerColorHurry;
    QString m_finalScoreText = QStringLiteral("Your Score: ");
    QString m_playerName = QStringLiteral("Guest");
    QStringList m_foundLines;
    QStringList m_triedWords;
};
