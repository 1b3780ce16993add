#include "application.h"
#include "artwork.h"
#include "errorbox.h"
#include "flatbutton.h"
#include "gametestsupport.h"
#include "mainform.h"
#include "sessionwindow.h"
#include "messageboxes.h"
#include "tdictn.h"
#include "testfiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace {

// Throws from its event handler, as a failing game handler would.
class Throwing : public QObject
{
public:
    bool event(QEvent *) override { throw std::runtime_error("Unable to read the word list: disk gone"); }
};

} // namespace

class MainFormTest : public SessionWindowTest
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
    std::unique_ptr<GameRecorder> m_cues;

    template<typename T> T *child(const QString &name)
    {
        T *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no child %s", qPrintable(name));
        return widget;
    }

    QString text(const QString &label) { return child<QLabel>(label)->text(); }

    void click(const QString &button)
    {
        QTest::mouseClick(child<FlatButton>(button), Qt::LeftButton);
    }

    void playToTheEnd()
    {
        while (m_window->game().isPlaying())
            m_window->game().tick();
    }

private slots:
    void init()
    {
        m_cues = std::make_unique<GameRecorder>();
        openWindow(Session::Paths{m_program.path(), m_working.path(), {}}, m_cues.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        closeWindow();
    }

    // At start the window waits for the first game: the name panel in front
    // with the stored name, an empty board, the design texts, and the cue
    // "entered" played.
    void startsWaitingWithTheNamePanel()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Tarvle Solo - Brenik Software"));
        QVERIFY(child<QWidget>("panel_name")->isVisible());
        QCOMPARE(child<QLineEdit>("edit_aname")->text(), QStringLiteral("Guest"));
        QCOMPARE(child<QLineEdit>("edit_name")->text(), QStringLiteral("Guest"));
        QVERIFY(!child<QWidget>("panel_cleared")->isVisible());
        QCOMPARE(text("label_name"), QStringLiteral("Welcome to Tarvle Solo!"));
        QCOMPARE(text("label_status"), QStringLiteral("Don't Get Tarvled!"));
        QCOMPARE(text("label_timer"), QStringLiteral("Time: 0:00"));
        QCOMPARE(text("label_score"), QStringLiteral("Score:"));
        QCOMPARE(text("label_found"), QStringLiteral("Count: 0"));
        QVERIFY(child<QWidget>("button_clear")->isVisible());
        QVERIFY(child<QWidget>("image_minletters")->isVisible());
        QCOMPARE(m_cues->cues(), QStringList{"cue entered"});
        QVERIFY(QFile::exists(QDir(m_working.path()).filePath("English")));
    }

    // The components stand where the layout puts them.
    void componentsAtTheirPlaces()
    {
        QCOMPARE(child<QWidget>("panel_board")->size(), QSize(556, 530));
        QCOMPARE(child<QWidget>("panel_board1")->geometry(), QRect(8, 22, 540, 499));
        QCOMPARE(child<QWidget>("paintbox_board")->geometry(), QRect(1, 1, 336, 339));
        QCOMPARE(child<QWidget>("panel_boardback")->geometry(), QRect(11, 75, 338, 341));
        QCOMPARE(child<QWidget>("button_start")->geometry(), QRect(357, 421, 172, 27));
        QCOMPARE(child<QWidget>("richedit_words")->geometry(), QRect(4, 38, 164, 264));
        QCOMPARE(child<QWidget>("panel_cleared")->geometry(), QRect(100, 97, 329, 264));
        QCOMPARE(child<QWidget>("image_timer")->geometry(), QRect(358, 63, 165, 20));
        for (int slot = 1; slot <= 12; ++slot)
            QCOMPARE(child<QWidget>(QStringLiteral("image_letters%1").arg(slot))->geometry(),
                     QRect(12 + 43 * (slot - 1), 11, 42, 42));
    }

    // DONE on the name panel takes the typed name; CANCEL keeps the old one.
    void namePanel()
    {
        auto *aname = child<QLineEdit>("edit_aname");
        aname->clear();
        QTest::keyClicks(aname, "Ann Lee");
        click("button_namecancel");
        QVERIFY(!child<QWidget>("panel_name")->isVisible());
        QCOMPARE(child<QLineEdit>("edit_name")->text(), QStringLiteral("Guest"));

        m_window->game().showPanel(Game::Panel::Name);
        QCOMPARE(aname->text(), QStringLiteral("Ann Lee"));
        QTest::keyClicks(aname, "abcdefgh");
        QCOMPARE(aname->text().size(), 10);
        click("button_namedone");
        QCOMPARE(child<QLineEdit>("edit_name")->text(), QStringLiteral("Ann Leeabc"));
        QCOMPARE(m_window->game().playerName(), QStringLiteral("Ann Leeabc"));
    }

    // START GAME deals a board of letters, greets the player and starts the
    // clock; each tick shows in the time label, its colour and the bar.
    void startAndTick()
    {
        click("button_start");
        QVERIFY(!child<QWidget>("panel_name")->isVisible());
        QCOMPARE(text("label_name"), QStringLiteral("Good Luck Guest"));
        QCOMPARE(text("label_status"), QStringLiteral("Click or Type a Word"));
        QCOMPARE(text("label_score"), QStringLiteral("Score: 0"));
        QCOMPARE(child<QWidget>("image_timer")->width(), 165);
        QVERIFY(m_window->game().isClockRunning());

        m_window->game().tick();
        QCOMPARE(text("label_timer"), QStringLiteral("Time: 2:59"));
        QCOMPARE(child<QWidget>("image_timer")->width(), 168);
        QCOMPARE(child<QLabel>("label_timer")->palette().color(QPalette::WindowText), QColor(0xE0, 0xE3, 0x9D));
        while (m_window->game().secondsLeft() > 19)
            m_window->game().tick();
        QCOMPARE(child<QLabel>("label_timer")->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xC6));
        QCOMPARE(text("label_timer"), QStringLiteral("Time: 0:19"));
    }

    // The end freezes the board, hides the word buttons and shows the
    // game-over panel with the score; its DONE hides it.
    void gameOverPanel()
    {
        click("button_start");
        playToTheEnd();
        QVERIFY(child<QWidget>("panel_cleared")->isVisible());
        QCOMPARE(text("label_score1"), QStringLiteral("Your Score: 0"));
        QCOMPARE(text("label_timer"), QStringLiteral("Time: 0:00"));
        QCOMPARE(child<QWidget>("image_timer")->width(), 0);
        QVERIFY(!child<QWidget>("button_clear")->isVisible());
        QVERIFY(!child<QWidget>("button_rotate")->isVisible());
        QVERIFY(!child<QWidget>("button_send")->isVisible());
        QVERIFY(child<QWidget>("button_sendscore")->isVisible());
        QCOMPARE(m_cues->cues().last(), QStringLiteral("cue gameover"));
        click("button_done");
        QVERIFY(!child<QWidget>("panel_cleared")->isVisible());
    }

    // File, "Start Game" (Ctrl+S between games) starts a game and removes
    // the game-over panel.
    void startGameFromTheMenu()
    {
        click("button_start");
        playToTheEnd();
        QVERIFY(child<QWidget>("panel_cleared")->isVisible());
        auto *action = m_window->findChild<QAction *>("StartGame1");
        QVERIFY(action);
        QCOMPARE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_window->game().isPlaying());
        QVERIFY(!child<QWidget>("panel_cleared")->isVisible());
        QVERIFY(child<QWidget>("button_send")->isVisible());
    }

    // A word sent with DONE is judged against the real word list: a found
    // word is listed with its points and counted; a refused one is not.
    void sendingWords()
    {
        m_window->game().setDraw(drawBoard(sampleBoard));
        click("button_start");
        pick(m_window->game(), {{0, 0}, {1, 0}, {2, 0}});
        QVERIFY(!child<QWidget>("image_minletters")->isVisible());
        click("button_send");
        QCOMPARE(text("label_score"), QStringLiteral("Score: 1"));
        QCOMPARE(text("label_found"), QStringLiteral("Count: 1"));
        QCOMPARE(child<QTextEdit>("richedit_words")->toPlainText(), QStringLiteral("CAT : 1\n"));
        QVERIFY(child<QWidget>("image_minletters")->isVisible());

        pick(m_window->game(), {{0, 0}, {1, 0}, {2, 0}, {3, 1}});
        click("button_send");
        QCOMPARE(text("label_status"), QStringLiteral("Invalid Word."));
        QCOMPARE(child<QTextEdit>("richedit_words")->toPlainText(), QStringLiteral("CAT : 1\n"));
        QCOMPARE(m_cues->cues().mid(m_cues->cues().size() - 2),
                 (QStringList{"cue click", "cue invalid"}));

        // The found words go in the found-word colour, not bold.
        QTextCursor cursor(child<QTextEdit>("richedit_words")->document());
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(0xFF, 0xFF, 0xC6));
        QVERIFY(cursor.charFormat().fontWeight() != QFont::Bold);

        // CLEAR empties a half-built word and plays "clear".
        pick(m_window->game(), {{0, 0}, {1, 0}});
        click("button_clear");
        QCOMPARE(m_window->game().board().wordlength(), 0);
        QCOMPARE(m_cues->cues().last(), QStringLiteral("cue clear"));
    }

    // The board surface redraws every tile and frame from the game's state.
    void boardPaintsFromTheLayers()
    {
        m_window->game().setDraw(drawBoard(sampleBoard));
        click("button_start");
        pick(m_window->game(), {{0, 0}, {1, 1}});
        const QImage shown = child<QWidget>("paintbox_board")->grab().toImage();

        QImage expected(shown.size(), shown.format());
        expected.fill(QColor(0x4C, 0x6A, 0x4C));
        QPainter painter(&expected);
        const Board &b = m_window->game().board();
        for (int c = 0; c < 8; ++c) {
            for (int r = 0; r < 8; ++r) {
                painter.drawPixmap(c * 42, r * 42, Artwork::tile(b.boardletters(c, r)));
                if (b.boardmarks(c, r) != -1)
                    painter.drawPixmap(c * 42, r * 42, Artwork::tile(b.boardmarks(c, r)));
            }
        }
        painter.end();
        QCOMPARE(shown, expected);
        // The newest letter carries the red frame.
        QCOMPARE(shown.pixelColor(42 + 2, 42 + 21), QColor(0x9E, 0x00, 0x00));
    }

    // An error that escapes a handler is shown in the error box, titled with
    // the application's name and ended with a full stop; the program goes on.
    void errorsReachTheErrorBox()
    {
        MessageBoxes boxes;
        Throwing throwing;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&throwing, &event);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Tarvle Solo"));
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Unable to read the word list: disk gone."));

        QCOMPARE(ErrorBox::withFullStop("Cannot create file /tmp/x"), QStringLiteral("Cannot create file /tmp/x."));
        QCOMPARE(ErrorBox::withFullStop("Lzrw1 : bad header !"), QStringLiteral("Lzrw1 : bad header !"));
        QCOMPARE(ErrorBox::withFullStop("Done."), QStringLiteral("Done."));
        QCOMPARE(ErrorBox::withFullStop("Path:"), QStringLiteral("Path:."));
        QCOMPARE(ErrorBox::withFullStop("Version 2"), QStringLiteral("Version 2."));
        QCOMPARE(ErrorBox::withFullStop("(see above)"), QStringLiteral("(see above)"));
        QCOMPARE(ErrorBox::withFullStop(QString()), QString());
    }

    // A word list that cannot be opened is reported once at start; the game
    // then runs and refuses every word.
    void missingWordListIsReported()
    {
        closeWindow();
        QTemporaryDir working;
        QVERIFY(QDir(working.path()).mkdir("English"));
        MessageBoxes boxes;
        openWindow(Session::Paths{m_program.path(), working.path(), {}}, m_cues.get());
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Tarvle Solo"));
        QCOMPARE(boxes.shown[0].icon, QMessageBox::NoIcon);
        QCOMPARE(boxes.shown[0].text, QStringLiteral("English.dic dictionary not found!"));
        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->game().startGame();
        pick(m_window->game(), {{0, 0}, {1, 0}, {2, 0}});
        m_window->game().pressdone();
        QCOMPARE(m_window->game().statusText(), QStringLiteral("Invalid Word."));
        closeWindow();
        QVERIFY(QFileInfo(QDir(working.path()).filePath("English")).isDir());
    }

    // A foreign English is left as it is: the player is told once, and the
    // game's own list judges (CRA, a word of the foreign list, is none).
    void foreignWordListIsReportedAndNotUsed()
    {
        closeWindow();
        QTemporaryDir working;
        const QString list = QDir(working.path()).filePath("English");
        const QByteArray foreign = QByteArray("\x1e" "CRA") + QByteArray(11, ' ');
        QVERIFY(writeFile(list, foreign));
        MessageBoxes boxes;
        openWindow(Session::Paths{m_program.path(), working.path(), {}}, m_cues.get());
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].icon, QMessageBox::NoIcon);
        QVERIFY2(boxes.shown[0].text.startsWith("The file " + QDir::toNativeSeparators(list) + " does not hold"),
                 qPrintable(boxes.shown[0].text));
        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->game().startGame();
        pick(m_window->game(), {{0, 0}, {0, 1}, {0, 2}});
        m_window->game().pressdone();
        QCOMPARE(m_window->game().statusText(), QStringLiteral("Invalid Word."));
        QCOMPARE(m_window->game().foundCount(), 0);
        pick(m_window->game(), {{0, 0}, {1, 0}, {2, 0}});
        m_window->game().pressdone();
        QCOMPARE(m_window->game().foundCount(), 1);
        closeWindow();
        QCOMPARE(readFile(list), foreign);
    }

    // The word list file lives only while the window does.
    void wordListDeletedAtExit()
    {
        const QString list = QDir(m_working.path()).filePath("English");
        QVERIFY(QFile::exists(list));
        m_window->close();
        closeWindow();
        QVERIFY(!QFile::exists(list));
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    MainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mainform_test.moc"
