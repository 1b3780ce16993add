#include "application.h"
#include "flatbutton.h"
#include "flatpanel.h"
#include "gametestsupport.h"
#include "highscoreform.h"
#include "mainform.h"
#include "sessionwindow.h"
#include "messageboxes.h"
#include "nameedit.h"
#include "builtinwords.h"
#include "solver.h"
#include "ticketsource.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QThread>

#include <memory>

namespace {

// A free loopback port: bound, read and let go.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString baseOf(quint16 port)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

bool startService(QProcess &service, quint16 port, const QString &db, const QStringList &more = {})
{
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(QStringLiteral(TARVLE_SERVICE), QStringList{"--port", QString::number(port), "--db", db} + more);
    if (!service.waitForStarted())
        return false;
    for (int tries = 0; tries < 100; ++tries) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(100);
    }
    return false;
}

} // namespace

// Posting a score from the game-over panel to a real service and viewing the
// list; the wait for an answer that never comes.
class HighScoreTest : public SessionWindowTest
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QProcess m_service;
    quint16 m_port = 0;
    GameRecorder m_sound;
    std::unique_ptr<Thighscore> m_highscore;

    // The main window and the high score window, wired as the program wires them.
    void open(quint16 port)
    {
        openWindow(Session::Paths{m_folder.path(), m_folder.path(), {}}, &m_sound);
        m_highscore = std::make_unique<Thighscore>(m_window->backgroundPicture());
        const QString base = baseOf(port);
        m_highscore->setServiceBase(base);
        m_session->posting().setServiceBase(base);
        m_window->attachHighScores(*m_highscore);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void playTo(const char *word) { playWordGame(m_window->game(), word); }

    // START GAME with the tickets of the service at port, then the given
    // number of the board's words typed and the clock run out; the words
    // played, in order.
    QStringList playOnTicket(quint16 port, std::size_t count)
    {
        TicketSource &tickets = m_session->tickets();
        tickets.setServiceBase(baseOf(port));
        tickets.start();
        if (!QTest::qWaitFor([&] { return tickets.hasFresh(); }, 10000))
            return {};
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_start"), Qt::LeftButton);
        Game &game = m_window->game();
        rules::Solver solver(rules::builtInWords());
        const rules::Solution solution = solver.solve(game.board().letters());
        QStringList played;
        for (const rules::SolvedWord &word : solution.words) {
            // Typing finds the path itself; Q tiles are left out for simplicity.
            if (played.size() == qsizetype(count) || word.word.find('Q') != std::string::npos)
                continue;
            for (char c : word.word)
                game.typetheletter(c - 'A' + 1);
            game.pressdone();
            played << QString::fromStdString(word.word);
        }
        while (game.isPlaying())
            game.tick();
        return played;
    }

private slots:
    void initTestCase()
    {
        m_port = freePort();
        // Games on its tickets may be posted at once.
        QVERIFY(startService(m_service, m_port, QDir(m_folder.path()).filePath("scores.db"),
                             {"--min-game-seconds", "0"}));
    }

    void cleanupTestCase()
    {
        m_service.terminate();
        m_service.waitForFinished();
    }

    void cleanup()
    {
        m_highscore.reset();
        closeWindow();
    }

    // SEND SCORE posts the name (a space in it included), the date and the
    // score; the answer hides the game-over panel and shows the list page,
    // which now holds the posting.
    void postingReachesTheList()
    {
        open(m_port);
        playTo("cats");
        auto *name = m_window->findChild<NameEdit *>("edit_name");
        name->setText(QStringLiteral("Ann Lee"));
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_sendscore"), Qt::LeftButton);
        QVERIFY(m_window->findChild<QWidget *>("panel_wait")->isVisible());
        QVERIFY(m_window->posting().waiting());
        QTRY_VERIFY_WITH_TIMEOUT(m_highscore->isVisible(), 10000);
        QVERIFY(!m_window->posting().waiting());
        QVERIFY(!m_window->findChild<QWidget *>("panel_cleared")->isVisible());
        auto *page = m_highscore->findChild<QTextBrowser *>("displayhtml");
        QTRY_VERIFY_WITH_TIMEOUT(page->toPlainText().contains("Ann Lee"), 10000);
        QVERIFY(page->toPlainText().contains("3"));
    }

    // A game on a ticket deals the ticket's board and is posted with its
    // words; the service replays it and ranks it as verified. The next
    // ticket is fetched at once.
    void verifiedGameReachesTheList()
    {
        open(m_port);
        const QStringList played = playOnTicket(m_port, 3);
        QCOMPARE(played.size(), 3);
        QVERIFY(!m_window->gameId().isEmpty());
        QCOMPARE(m_window->game().foundWords().join(',').toUpper(), played.join(','));
        QTRY_VERIFY_WITH_TIMEOUT(m_session->tickets().hasFresh(), 10000);

        m_window->findChild<NameEdit *>("edit_name")->setText(QStringLiteral("Vera Fied"));
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_sendscore"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_highscore->isVisible(), 10000);
        auto *page = m_highscore->findChild<QTextBrowser *>("displayhtml");
        QTRY_VERIFY_WITH_TIMEOUT(page->toPlainText().contains("Vera Fied"), 10000);
        const QString text = page->toPlainText();
        const qsizetype unverified = text.indexOf(QStringLiteral("Unverified scores"));
        QVERIFY(unverified < 0 || text.indexOf(QStringLiteral("Vera Fied")) < unverified);
    }

    // A game the service refuses says why in the wait panel and shows no
    // list; without a service, START GAME deals a board of its own.
    void refusedGameSaysWhy()
    {
        QTemporaryDir folder;
        QProcess strict; // the usual 180 seconds between ticket and posting
        const quint16 port = freePort();
        QVERIFY(startService(strict, port, QDir(folder.path()).filePath("strict.db")));
        open(port);
        QCOMPARE(playOnTicket(port, 2).size(), 2);
        MessageBoxes boxes;
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_sendscore"), Qt::LeftButton);
        auto *wait = m_window->findChild<FlatPanel *>("panel_wait");
        QTRY_COMPARE_WITH_TIMEOUT(wait->caption(), QStringLiteral("Not posted: Posted too early."), 10000);
        QVERIFY(!m_window->posting().waiting());
        QVERIFY(wait->isVisible());
        QVERIFY(m_window->findChild<QWidget *>("panel_cleared")->isVisible());
        QVERIFY(!m_highscore->isVisible());
        QVERIFY(boxes.shown.isEmpty());
        strict.terminate();
        strict.waitForFinished();
        closeWindow();

        const quint16 nobody = freePort();
        open(nobody);
        m_session->tickets().setServiceBase(baseOf(nobody));
        m_session->tickets().start();
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_start"), Qt::LeftButton);
        QVERIFY(m_window->gameId().isEmpty());
        QVERIFY(m_window->game().isPlaying());
        QVERIFY(!m_window->findChild<QWidget *>("panel_wait")->isVisible());
    }

    // An empty name is posted as Guest and shows Guest in the field.
    void emptyNameIsGuest()
    {
        open(m_port);
        playTo("cat");
        m_window->findChild<NameEdit *>("edit_name")->clear();
        m_window->button_sendscoreClick();
        QCOMPARE(m_window->findChild<NameEdit *>("edit_name")->text(), QStringLiteral("Guest"));
        QTRY_VERIFY_WITH_TIMEOUT(m_highscore->isVisible(), 10000);
    }

    // A service that takes the connection and never answers: the wait shows
    // one to five dots and round again, and the fortieth second ends it in
    // "Posting Failed.", with the wait panel left in place.
    void waitEndsInFailure()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        open(silent.serverPort());
        playTo("");
        m_window->button_sendscoreClick();
        ScorePosting &posting = m_window->posting();
        auto *wait = m_window->findChild<FlatPanel *>("panel_wait");
        QStringList captions;
        MessageBoxes boxes;
        for (int second = 1; second <= 39; ++second) {
            posting.Timer1Timer();
            captions << wait->caption();
        }
        QCOMPARE(captions.mid(0, 7), (QStringList{"Posting Score, Please Wait.", "Posting Score, Please Wait..",
                                                  "Posting Score, Please Wait...", "Posting Score, Please Wait....",
                                                  "Posting Score, Please Wait.....", "Posting Score, Please Wait.",
                                                  "Posting Score, Please Wait.."}));
        QVERIFY(boxes.shown.isEmpty());
        posting.Timer1Timer();
        QTRY_COMPARE(boxes.texts(), QStringList{"Posting Failed."});
        QVERIFY(!posting.waiting());
        QVERIFY(wait->isVisible());
        QVERIFY(m_window->findChild<QWidget *>("panel_cleared")->isVisible());
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    HighScoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "highscore_test.moc"
