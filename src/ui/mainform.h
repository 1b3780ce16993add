#pragma once

#include "boardcode.h"
#include "errorbox.h"
#include "game.h"
#include "mainsettings.h"

#include <QMainWindow>
#include <QPixmap>

#include <array>
#include <functional>

class BoardView;
class ClickLabel;
class CueSwitch;
class FlatButton;
class FlatPanel;
class FrameWatch;
class QAction;
class QKeyEvent;
class QLabel;
class QListWidget;
class NameEdit;
class QTextEdit;
class ScorePosting;
class SettingsFile;
class SlotView;
class WordStrip;
class TDictn;
class Thighscore;
class UpdateCheck;
class TiledBackground;
class TicketSource;

// The main game window: the board, the word display, the clock, the score and
// the found words, the game buttons, the overlay panels and the menu bar. A
// view of the game: its handlers forward to the game and its widgets show
// what the game reports. The game and the services are borrowed from the
// program's session and outlive the window.
class Tmain : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int defaultwidth = MainSettings::DefaultWidth;
    static constexpr int defaultheight = MainSettings::DefaultHeight;

    struct Services {
        Game &game;
        const TDictn &spell; // its state at start is reported here
        SettingsFile &settings;
        CueSwitch &cues;     // "Play Sounds" switches it
        ScorePosting &posting;
        TicketSource &tickets; // boards whose scores the service can verify
    };

    explicit Tmain(const Services &services, QWidget *parent = nullptr);
    ~Tmain() override;

    Game &game() { return m_game; }
    // The tiled background picture the other windows copy.
    QPixmap backgroundPicture() const;

    // Wires the windows and checks that are made after this one. The high
    // score window may be made when it is first needed: the function makes
    // it or hands back the one made before.
    void attachHighScores(Thighscore &highscore);
    void attachHighScores(std::function<Thighscore &()> highscore);
    void attachUpdateCheck(UpdateCheck &update);

    void loadinifile();
    void saveinifile();
    // The placement as read at start, or as saved at the last close that
    // found the window moved; left, top, width and height of the outer frame.
    QRect savedbounds() const { return m_savedbounds; }

    void PlaySounds1Click();
    void ClickLetters1Click();
    void updatecheckClick();
    void ChangeName1Click();
    void ResetScreenLocation1Click();
    void button_updateyesClick();
    void button_updatecancelClick();
    // What the update check reports, shown on the update panel.
    void showUpdateOffer();
    void hideUpdateButtons();
    void setUpdateStatus(const QString &text);
    void button_sendscoreClick();
    void button_highscoresClick();
    // The service answered the posting: the game-over panel goes.
    void senditAnswered();
    ScorePosting &posting() { return m_posting; }
    void button_startClick();
    void StartGame1Click();
    void PlayBoardCode1Click();
    void PlayTodaysBoard1Click();
    // Starts a game on the board of a seed, as File, "Start Game" starts one.
    void playBoard(rules::Seed seed);
    // The ticket the current or last game was played on; empty without one.
    QString gameId() const { return m_gameId; }
    void BoardReview1Click();
    void button_reviewClick();
    void Exit1Click();
    void TallyList1Click();
    void ViewHighScoreList1Click();
    void Help2Click();
    void About1Click();
    void MultiplayerTarvle1Click();
    void button_cancelClick();
    void button_clearClick();
    void button_sendClick();
    void button_namedoneClick();
    void button_namecancelClick();
    void button_rotateClick();
    void image_letters1Click(int slot);
    void paintbox_boardMouseDown(Qt::MouseButton button, QPoint position);
    void paintbox_boardMouseMove(QPoint position);
    void paintbox_boardMouseUp(Qt::MouseButton button, QPoint position);
    // Every key of the main window comes here before the menu's shortcuts;
    // true when the game took it.
    bool FormShortCut(const QKeyEvent &event);
    // What a key asks of the game, the key table of the main window: Enter
    // sends, Backspace takes the newest letter back, 1 clears, 0 and Ctrl+R
    // rotate, A to Z are letters (with or without Ctrl), any other key asks
    // for nothing.
    static KeyIntent intentOf(const QKeyEvent &event);

signals:
    // The window has been shown for the first time with the update check on.
    void updateCheckRequested();
    void helpRequested();
    void tallyListRequested();
    void multiplayerRequested();
    // VIEW HIGH SCORES or View, "View High Score List".
    void highScoresRequested();
    void updateAccepted();
    void updateDeclined();
    // The logo was clicked: the maker's home page should open.
    void logoClicked();
    void aboutRequested();
    // File, "Play Board Code...": a code should be asked for.
    void boardCodeRequested();
    // View, "Board Review" or REVIEW on the game-over panel.
    void reviewRequested();
    // The close has saved the placement and the settings; the program ends
    // once the slots of this have run.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A slot for a signal that runs a handler: an error it raises ends it
    // and is shown in the error box, and never travels back through the signal.
    template<typename... Args>
    auto handler(void (Tmain::*method)(Args...))
    {
        return [this, method](Args... args) { ErrorBox::guard(this, [&] { (this->*method)(args...); }); };
    }

    void reportWordList();
    void buildLayout();
    void buildGameOverPanel();
    void buildNamePanel();
    void buildUpdatePanel();
    void buildMenu();
    void connectGame();
    void FormCreate();
    // Places the window's outer frame, title bar and borders included.
    void placeWindow(const QRect &outer);
    // Places the window again once its frame is known.
    void settleFrame();
    QRect outerBounds() const;
    // Saves the settings; a failure is shown in the error box.
    void saveOptions();
    void placeBoardGroup();
    void showSelectionMethod();
    void showTimer(const QString &text, Game::ClockPhase phase);
    // Brings a panel to the front; showing again raises it.
    void showPanel(QWidget *panel);
    void addword(const QString &text, const QColor &color);
    void showGreeting(const QString &text);
    void startOn(std::optional<rules::Seed> seed, const QString &gameId);
    void showRefusal(const QString &reason);
    // Says something to a screen reader; a sighted player sees nothing.
    void announce(const QString &text);
    void announceClock();
    // Board Review can be asked for only while the game has a review.
    void showReviewAvailable();
    FlatButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                           const QRect &geometry, int captionSize);
    QWidget *panelWidget(Game::Panel panel) const;

    Game &m_game;
    const TDictn &m_spell;
    SettingsFile &m_settings;
    CueSwitch &m_cues;
    ScorePosting &m_posting;
    TicketSource &m_tickets;
    QString m_gameId; // the ticket of this or the last game; empty without one
    QRect m_savedbounds;
    QRect m_placement; // the outer frame last asked for
    bool m_frameSettled = false; // placed again with the frame it really has
    FrameWatch *m_frameWatch = nullptr;
    QSize m_refusedSize; // too small a size already enlarged once
    bool m_updatecheck = true;
    bool m_shownOnce = false;

    TiledBackground *m_background = nullptr;
    FlatPanel *panel_board = nullptr;
    QLabel *label_name = nullptr;
    FlatPanel *panel_board1 = nullptr;
    QLabel *image_timer = nullptr;
    QLabel *label_timer = nullptr;
    ClickLabel *image_logo = nullptr;
    QLabel *label_score = nullptr;
    QLabel *image_minletters = nullptr;
    std::array<SlotView *, 12> image_letters{};
    QLabel *label_status = nullptr;
    // Seen only by assistive technology: the word strip as a list, and the
    // game's news, each a change of this empty label's text.
    WordStrip *m_wordStrip = nullptr;
    QLabel *label_news = nullptr;
    int m_lastAnnouncedSecond = 0;
    FlatButton *button_clear = nullptr;
    FlatButton *button_rotate = nullptr;
    FlatButton *button_send = nullptr;
    FlatButton *button_start = nullptr;
    FlatPanel *panel_boardback = nullptr;
    BoardView *paintbox_board = nullptr;
    FlatPanel *panel_words = nullptr;
    QLabel *label_found = nullptr;
    QTextEdit *richedit_words = nullptr;
    QListWidget *listbox_wordsfound = nullptr;
    FlatPanel *panel_cleared = nullptr;
    QLabel *label_score1 = nullptr;
    NameEdit *edit_name = nullptr;
    FlatButton *button_sendscore = nullptr;
    FlatButton *button_highscore = nullptr;
    FlatButton *button_done = nullptr;
    FlatButton *button_review = nullptr;
    FlatPanel *panel_wait = nullptr;
    FlatPanel *panel_name = nullptr;
    NameEdit *edit_aname = nullptr;
    FlatPanel *panel_update = nullptr;
    FlatButton *button_updateyes = nullptr;
    FlatButton *button_updatecancel = nullptr;
    QLabel *label_update = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *PlayBoardCode1 = nullptr;
    QAction *PlayTodaysBoard1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *PlaySounds1 = nullptr;
    QAction *ResetScreenLocation1 = nullptr;
    QAction *ChangeName1 = nullptr;
    QAction *updatecheck = nullptr;
    QAction *ClickLetters1 = nullptr;
    QAction *m_draggingAction = nullptr; // "Dragging Method"
    QAction *TallyList1 = nullptr;
    QAction *ViewHighScoreList1 = nullptr;
    QAction *BoardReview1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *About1 = nullptr;
    QAction *MultiplayerTarvle1 = nullptr;
};
