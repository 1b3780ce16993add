#include "dictionaryerror.h"
#include "flatbutton.h"
#include "gametestsupport.h"
#include "messageboxes.h"
#include "sessionwindow.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>

namespace {

// A word list whose file has gone: every look-up fails.
class BrokenWords : public WordChecker
{
public:
    bool checkword(const QString &) override { throw DictionaryError(QStringLiteral("Unable to read record 7 of the word list English: gone")); }
};

// A tally whose counters cannot be read: counting a game fails.
class BrokenTally : public TallyBook
{
public:
    void addtomineincrease(Counter) override { throw std::runtime_error("'x' is not a valid integer value"); }
    void addtoit(Counter, int) override {}
    bool checkscore(int, const QString &) override { return false; }
};

} // namespace

// Handlers catch their own errors. The application object here is a plain
// one, without the last-resort catch of the program's: an error that
// travelled back through a signal would reach the test instead of the box.
class HandlerErrorsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    GameRecorder m_recorder;
    std::unique_ptr<Session> m_session;

    // The main window of a game whose word list or tally fails, on the
    // session's other services.
    std::unique_ptr<Tmain> openFailing(Game &game)
    {
        auto window = std::make_unique<Tmain>(
            Tmain::Services{game, m_session->spell(), m_session->settings(), m_session->cues(), m_session->posting(),
                            m_session->tickets()});
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("the window did not come up");
        return window;
    }

private slots:
    void init()
    {
        m_session = std::make_unique<Session>(Session::Paths{m_folder.path(), m_folder.path(), {}}, &m_recorder);
    }

    void cleanup() { m_session.reset(); }

    // A look-up that fails ends the sending, by DONE, Enter or a right
    // click alike, in the error box; the word stays for another try and the
    // game goes on.
    void failingLookUpEndsInTheErrorBox()
    {
        BrokenWords words;
        Game game(Game::Services{&m_recorder, &m_recorder, &words});
        std::unique_ptr<Tmain> window = openFailing(game);
        game.setDraw(drawBoard(sampleBoard));
        game.startGame();
        pick(game, {{0, 0}, {1, 0}, {2, 0}});

        MessageBoxes boxes;
        QTest::mouseClick(window->findChild<FlatButton *>("button_send"), Qt::LeftButton);
        // Keys go to the game while its window is the active one.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Return);
        QWidget *board = window->findChild<QWidget *>("paintbox_board");
        QTest::mouseClick(board, Qt::RightButton, {}, QPoint(100, 100));
        QCOMPARE(boxes.texts(), QStringList(3, QStringLiteral("Unable to read record 7 of the word list English: gone.")));
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
        QCOMPARE(game.board().wordlength(), 3);
        QVERIFY(game.triedWords().isEmpty());
        QVERIFY(game.isPlaying());
        game.pressclear();
        QCOMPARE(game.board().wordlength(), 0);
    }

    // Running out of memory is said in words, not as the library's
    // "std::bad_alloc".
    void outOfMemoryIsSaidInWords()
    {
        MessageBoxes boxes;
        ErrorBox::guard(nullptr, [] { throw std::bad_alloc(); });
        QCOMPARE(boxes.texts(), QStringList{ErrorBox::outOfMemoryMessage()});
        QVERIFY(boxes.texts()[0].startsWith("There was not enough memory"));
    }

    // A menu command that fails shows its error once and changes nothing
    // else: File, "Start Game" with a tally that cannot count the game.
    void failingMenuCommandEndsInTheErrorBox()
    {
        BrokenTally tally;
        Game game(Game::Services{&m_recorder, &tally, &m_recorder});
        std::unique_ptr<Tmain> window = openFailing(game);
        game.enter();
        MessageBoxes boxes;
        window->findChild<QAction *>("StartGame1")->trigger();
        QCOMPARE(boxes.texts(), QStringList{"'x' is not a valid integer value."});
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Tarvle Solo"));
        QVERIFY(!game.isPlaying());
        QVERIFY(window->findChild<QWidget *>("panel_name")->isHidden());
        // The program goes on: the next command works.
        window->findChild<QAction *>("ChangeName1")->trigger();
        QVERIFY(window->findChild<QWidget *>("panel_name")->isVisible());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    HandlerErrorsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "handlererrors_test.moc"
