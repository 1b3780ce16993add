#include "application.h"
#include "flatbutton.h"
#include "flatpanel.h"
#include "gametestsupport.h"
#include "highscoreform.h"
#include "mainform.h"
#include "sessionwindow.h"
#include "messageboxes.h"
#include "nameedit.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <memory>

namespace {

// A free loopback port: bound, read and let go.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
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
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
        m_highscore->setServiceBase(base);
        m_session->posting().setServiceBase(base);
        m_window->attachHighScores(*m_highscore);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void playTo(const char *word) { playWordGame(m_window->game(), word); }

private slots:
    void initTestCase()
    {
        m_port = freePort();
        m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_service.start(QStringLiteral(TARVLE_SERVICE),
                        {"--port", QString::number(m_port), "--db", QDir(m_folder.path()).filePath("scores.db")});
        QVERIFY(m_service.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            [this] {
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, m_port);
                return socket.waitForConnected(100);
            }(),
            10000);
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
