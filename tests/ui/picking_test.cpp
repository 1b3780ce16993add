#include "application.h"
#include "boardview.h"
#include "flatbutton.h"
#include "gametestsupport.h"
#include "mainform.h"
#include "sessionwindow.h"
#include "tile.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

QPoint centre(int column, int row)
{
    return QPoint(42 * column + 21, 42 * row + 21);
}

} // namespace

// Picking letters with real mouse and key events on the main window.
class PickingTest : public SessionWindowTest
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    std::unique_ptr<GameRecorder> m_cues;
    BoardView *m_board = nullptr;

    Game &game() { return m_window->game(); }
    const Board &b() { return m_window->game().board(); }
    QString status() { return m_window->findChild<QLabel *>("label_status")->text(); }
    QStringList cues() { return m_cues->cues(); }
    QString lastCue() { return cues().isEmpty() ? QString() : cues().last(); }

    std::vector<Cell> word()
    {
        std::vector<Cell> cells;
        for (int slot = 1; slot <= b().wordlength(); ++slot)
            cells.push_back(b().wordslot(slot));
        return cells;
    }

    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(m_board, button, {}, at); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseRelease(m_board, button, {}, at); }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(m_board, button, {}, at); }
    void move(QPoint at) { QTest::mouseMove(m_board, at); }

    void startGame()
    {
        game().setDraw(drawBoard(sampleBoard));
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_start"), Qt::LeftButton);
        QVERIFY(game().isPlaying());
        m_cues->take();
    }

private slots:
    void init()
    {
        m_cues = std::make_unique<GameRecorder>();
        openWindow(Session::Paths{m_folder.path(), m_folder.path(), {}}, m_cues.get());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_board = m_window->findChild<BoardView *>("paintbox_board");
        QVERIFY(m_board);
        startGame();
    }

    void cleanup()
    {
        closeWindow();
    }

    // Click method: a click adds a tile, a tile that does not touch the
    // newest one is refused with "invalid" alone, a touching one turns the
    // first frame black and its own red.
    void clickingLetters()
    {
        click(centre(0, 0));
        QCOMPARE(b().wordlength(), 1);
        QCOMPARE(b().boardmarks(0, 0), Tile::NewestFrame);
        QCOMPARE(Tile::letterOf(b().slotTile(1)), QStringLiteral("c"));
        QCOMPARE(lastCue(), QStringLiteral("cue click"));

        click(centre(5, 5));
        QCOMPARE(lastCue(), QStringLiteral("cue invalid"));
        QCOMPARE(b().wordlength(), 1);
        QCOMPARE(status(), QStringLiteral("Click or Type a Word"));

        click(centre(1, 1));
        QCOMPARE(b().boardmarks(0, 0), Tile::EarlierFrame);
        QCOMPARE(b().boardmarks(1, 1), Tile::NewestFrame);

        // The newest tile again, or any tile already in the word.
        m_cues->take();
        click(centre(1, 1));
        click(centre(0, 0));
        QCOMPARE(cues(), (QStringList{"cue invalid", "cue invalid"}));
        QCOMPARE(b().wordlength(), 2);

        // The three pixels below the last row are no cell.
        game().pressclear();
        m_cues->take();
        click(QPoint(10, 336));
        click(QPoint(300, 338));
        QCOMPARE(cues(), (QStringList{"cue invalid", "cue invalid"}));
        QCOMPARE(b().wordlength(), 0);
        // The edges of a cell count for a press.
        click(QPoint(41, 335));
        QCOMPARE(word(), (std::vector<Cell>{{0, 7}}));
    }

    // A right click sends the word under both methods; under the dragging
    // method the release that follows sends again, which finds the word empty.
    void rightClickSends()
    {
        for (Game::Method method : {Game::Method::ClickLetters, Game::Method::Dragging}) {
            game().setSelectionMethod(method);
            game().startGame();
            if (method == Game::Method::Dragging) {
                press(centre(0, 0));
                move(centre(1, 0));
                move(centre(2, 0));
            } else {
                click(centre(0, 0));
                click(centre(1, 0));
                click(centre(2, 0));
            }
            QCOMPARE(b().wordlength(), 3);
            // Under the dragging method the left button is still held here.
            press(centre(4, 4), Qt::RightButton);
            QCOMPARE(m_window->findChild<QLabel *>("label_score")->text(), QStringLiteral("Score: 1"));
            QCOMPARE(b().wordlength(), 0);
            m_cues->take();
            release(centre(4, 4), Qt::RightButton);
            QVERIFY(cues().isEmpty());
            QCOMPARE(m_window->findChild<QTextEdit *>("richedit_words")->toPlainText(), QStringLiteral("CAT : 1\n"));
        }
    }

    // Dragging: a tile is added once the pointer reaches its inner zone, 7
    // pixels in from the left and top edges and 6 from the right and bottom;
    // the margins between two zones add nothing. The release sends the word.
    void draggingThroughInnerZones()
    {
        game().setSelectionMethod(Game::Method::Dragging);
        press(centre(0, 0));
        QVERIFY(game().isMouseHeld());
        QCOMPARE(status(), QStringLiteral("Click or Type a Word"));
        move(QPoint(42 + 6, 21)); // column 1, but short of its zone
        QCOMPARE(b().wordlength(), 1);
        move(QPoint(42 + 7, 21));
        QCOMPARE(word(), (std::vector<Cell>{{0, 0}, {1, 0}}));
        QCOMPARE(status(), QString());
        // Diagonally to the N at (2,1): its corner margins add nothing.
        move(QPoint(84 + 6, 42 + 6));
        move(QPoint(84 + 36, 42 + 36));
        move(QPoint(84 + 6, 42 + 36));
        QCOMPARE(b().wordlength(), 2);
        move(QPoint(84 + 35, 42 + 35));
        QCOMPARE(word(), (std::vector<Cell>{{0, 0}, {1, 0}, {2, 1}}));
        m_cues->take();
        release(QPoint(84 + 35, 42 + 35));
        QVERIFY(!game().isMouseHeld());
        QCOMPARE(b().wordlength(), 0);
        QCOMPARE(game().triedWords(), QStringList{"can"});
        QCOMPARE(cues(), QStringList{"cue goodword"});
    }

    // Moving back onto a tile of the word is refused once per entry and
    // undoes nothing.
    void draggingBackIsRefused()
    {
        game().setSelectionMethod(Game::Method::Dragging);
        press(centre(0, 0));
        move(centre(1, 0));
        m_cues->take();
        move(centre(0, 0));
        QCOMPARE(status(), QStringLiteral("Invalid Selection"));
        QCOMPARE(cues(), QStringList{"cue invalid"});
        move(centre(0, 0) + QPoint(5, 5)); // the same cell: nothing new
        QCOMPARE(cues().size(), 1);
        move(centre(1, 0));
        QCOMPARE(cues().size(), 2);
        QCOMPARE(word(), (std::vector<Cell>{{0, 0}, {1, 0}}));
    }

    // Leaving the board while dragging: to the right or below, the first
    // inner zone of a cell beyond the board is refused; to the left or above
    // nothing is ever evaluated.
    void draggingOffTheBoard()
    {
        game().setSelectionMethod(Game::Method::Dragging);
        press(centre(7, 3));
        m_cues->take();
        move(QPoint(336 + 6, 3 * 42 + 21));
        QVERIFY(cues().isEmpty());
        move(QPoint(336 + 7, 3 * 42 + 21));
        QCOMPARE(status(), QStringLiteral("Invalid Selection"));
        release(QPoint(336 + 7, 3 * 42 + 21));

        game().pressclear();
        press(centre(0, 7));
        m_cues->take();
        move(QPoint(21, 8 * 42 + 7));
        QCOMPARE(cues(), QStringList{"cue invalid"});
        release(QPoint(21, 8 * 42 + 7));

        for (QPoint outside : {QPoint(-1, 21), QPoint(-20, 21), QPoint(-41, 60), QPoint(-60, 100), QPoint(30, -1),
                               QPoint(30, -30), QPoint(-30, -30)}) {
            game().pressclear();
            press(centre(0, 0));
            m_cues->take();
            move(outside);
            QVERIFY2(cues().isEmpty(), qPrintable(QStringLiteral("%1,%2").arg(outside.x()).arg(outside.y())));
            release(outside);
        }
    }

    // Twelve letters fill the word; every further tile is refused.
    void twelveLetters()
    {
        const std::vector<Cell> snake{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0},
                                      {6, 0}, {7, 0}, {7, 1}, {6, 1}, {5, 1}, {4, 1}};
        for (const Cell &cell : snake)
            click(centre(cell.column, cell.row));
        QCOMPARE(word(), snake);
        m_cues->take();
        click(centre(3, 1));
        QCOMPARE(cues(), QStringList{"cue invalid"});
        QCOMPARE(b().wordlength(), 12);
    }

    // Clicking the newest letter's slot removes it with "clear"; other slots
    // do nothing. The strip shows for words under three letters.
    void slotClicks()
    {
        QWidget *strip = m_window->findChild<QWidget *>("image_minletters");
        auto slot = [this](int n) { return m_window->findChild<QWidget *>(QStringLiteral("image_letters%1").arg(n)); };
        for (int column = 0; column < 5; ++column) {
            click(centre(column, 0));
            QCOMPARE(strip->isVisible(), column < 2);
        }
        m_cues->take();
        QTest::mouseClick(slot(3), Qt::LeftButton);
        QTest::mouseClick(slot(9), Qt::LeftButton);
        QCOMPARE(b().wordlength(), 5);
        QVERIFY(cues().isEmpty());
        QTest::mouseClick(slot(5), Qt::LeftButton);
        QCOMPARE(b().wordlength(), 4);
        QCOMPARE(cues(), QStringList{"cue clear"});
        QCOMPARE(b().boardmarks(3, 0), Tile::EarlierFrame);
        QCOMPARE(b().boardmarks(4, 0), Tile::NoMark);
        QTest::mouseClick(slot(4), Qt::LeftButton);
        QTest::mouseClick(slot(3), Qt::LeftButton);
        QCOMPARE(b().wordlength(), 2);
        QVERIFY(strip->isVisible());
        QTest::mouseClick(slot(2), Qt::LeftButton);
        QTest::mouseClick(slot(1), Qt::LeftButton);
        QCOMPARE(b().lastcolumn(), -1);
        click(centre(6, 6)); // with no letter left, any tile may start again
        QCOMPARE(word(), (std::vector<Cell>{{6, 6}}));
    }

    // ROTATE turns the board and discards the word; CLEAR empties it.
    void rotateAndClearButtons()
    {
        click(centre(0, 0));
        click(centre(1, 0));
        m_cues->take();
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_rotate"), Qt::LeftButton);
        QCOMPARE(cues(), QStringList{"cue rotate"});
        QCOMPARE(b().wordlength(), 0);
        QCOMPARE(Tile::letterOf(b().boardletters(7, 0)), QStringLiteral("c"));
        QCOMPARE(Tile::letterOf(b().boardletters(0, 0)), QStringLiteral("e"));
    }

    // Typed keys go to the game: letters are placed, Enter sends, Backspace
    // and 1 take letters back silently, 0 and Ctrl+R turn the board, the
    // keypad's 0 does nothing.
    void typingKeys()
    {
        QTest::keyClicks(m_window.get(), "cat");
        QCOMPARE(word(), (std::vector<Cell>{{0, 0}, {1, 0}, {2, 0}}));
        QTest::keyClick(m_window.get(), Qt::Key_Backspace);
        QCOMPARE(b().wordlength(), 2);
        QTest::keyClick(m_window.get(), Qt::Key_T);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QCOMPARE(game().score(), 1);
        QTest::keyClicks(m_window.get(), "ca");
        m_cues->take();
        QTest::keyClick(m_window.get(), Qt::Key_1);
        QCOMPARE(b().wordlength(), 0);
        QVERIFY(cues().isEmpty());
        QTest::keyClick(m_window.get(), Qt::Key_0, Qt::KeypadModifier);
        QCOMPARE(b().rotation(), 0);
        QTest::keyClick(m_window.get(), Qt::Key_0);
        QCOMPARE(b().rotation(), 1);
        QTest::keyClick(m_window.get(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(b().rotation(), 2);
        QTest::keyClick(m_window.get(), Qt::Key_R);
        QCOMPARE(b().wordlength(), 1);

        // Holding 0: every repeat turns once more.
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_0, Qt::NoModifier, QStringLiteral("0"), true);
            QApplication::sendEvent(m_window.get(), &repeat);
        }
        QCOMPARE(b().rotation(), 1);
    }

    // The key table: which key asks the game for what. R without Ctrl and
    // any letter with Ctrl are letters; the keypad's digits, F1 and keys
    // with no action ask for nothing.
    void keyTable()
    {
        using Kind = KeyIntent::Kind;
        const auto intent = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            return Tmain::intentOf(QKeyEvent(QEvent::KeyPress, key, modifiers));
        };
        QCOMPARE(intent(Qt::Key_Return).kind, Kind::Send);
        QCOMPARE(intent(Qt::Key_Enter, Qt::KeypadModifier).kind, Kind::Send);
        QCOMPARE(intent(Qt::Key_Backspace).kind, Kind::TakeBack);
        QCOMPARE(intent(Qt::Key_1).kind, Kind::Clear);
        QCOMPARE(intent(Qt::Key_1, Qt::KeypadModifier).kind, Kind::Other);
        QCOMPARE(intent(Qt::Key_0).kind, Kind::Rotate);
        QCOMPARE(intent(Qt::Key_0, Qt::KeypadModifier).kind, Kind::Other);
        QCOMPARE(intent(Qt::Key_R, Qt::ControlModifier).kind, Kind::Rotate);
        QCOMPARE(intent(Qt::Key_R).kind, Kind::Letter);
        QCOMPARE(intent(Qt::Key_R).letter, Tile::FirstLetter + 17);
        QCOMPARE(intent(Qt::Key_A, Qt::ControlModifier).kind, Kind::Letter);
        QCOMPARE(intent(Qt::Key_A, Qt::ControlModifier).letter, Tile::FirstLetter);
        QCOMPARE(intent(Qt::Key_Z).letter, Tile::LastLetter);
        QCOMPARE(intent(Qt::Key_F1).kind, Kind::Other);
        QCOMPARE(intent(Qt::Key_2).kind, Kind::Other);
        QCOMPARE(intent(Qt::Key_Space).kind, Kind::Other);
    }

    // During a game the menu shortcuts do not act: Ctrl+S types an S and F1
    // does nothing. Between games Ctrl+S starts a game and F1 asks for help.
    void shortcutsInAndOutOfAGame()
    {
        QSignalSpy help(m_window.get(), &Tmain::helpRequested);
        QTest::keyClick(m_window.get(), Qt::Key_F1);
        QCOMPARE(help.count(), 0);
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Tile::letterOf(b().slotTile(1)), QStringLiteral("s"));
        QCOMPARE(game().secondsLeft(), 180);
        game().tick();

        while (game().isPlaying())
            game().tick();
        QTest::keyClick(m_window.get(), Qt::Key_F1);
        QCOMPARE(help.count(), 1);
        QTest::keyClick(m_window.get(), Qt::Key_C);
        QCOMPARE(b().wordlength(), 1);
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(game().isPlaying());
        QCOMPARE(b().wordlength(), 0);
    }

    // Keys typed into another window of the program never reach the board.
    void keysInAnotherWindow()
    {
        QWidget other;
        auto *edit = new QLineEdit(&other);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        edit->setFocus();
        QTest::keyClicks(edit, "cat");
        QCOMPARE(edit->text(), QStringLiteral("cat"));
        QCOMPARE(b().wordlength(), 0);
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    PickingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "picking_test.moc"
