// Every window of the game, opened the way a player opens it, looks pixel
// for pixel as the reference pictures in windowlook/<scale>/ show. The
// references were taken from the windows as they were before start-up work
// changed when and how pictures and windows are made.
//
// TARVLE_WRITE_SHOTS=1 writes the references instead of comparing.
#include "application.h"
#include "flatbutton.h"
#include "gamewindows.h"
#include "servicehost.h"
#include "session.h"
#include "testfiles.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A board code whose board is the same on every run.
constexpr const char *Code = "TARVLE42";

QString shotFolder()
{
    const int percent = qRound(qApp->devicePixelRatio() * 100);
    return QStringLiteral(TARVLE_SHOTS_DIR "/%1").arg(percent);
}

bool writing()
{
    return qEnvironmentVariableIntValue("TARVLE_WRITE_SHOTS") == 1;
}

QWidget *topLevel(const char *name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(name))
            return window;
    }
    return nullptr;
}

} // namespace

class WindowLookTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
    QTemporaryDir m_failed{QDir::temp().filePath(QStringLiteral("windowlook-XXXXXX"))};
    std::unique_ptr<Session> m_session;
    std::unique_ptr<GameWindows> m_windows;
    QStringList m_mismatches;

    Tmain &main() { return m_windows->main; }

    QAction *action(const char *name) { return main().menuBar()->findChild<QAction *>(QString::fromLatin1(name)); }

    // The window as it is now against its reference; a mismatch is kept in a
    // temporary folder for a look and reported at the end.
    void compare(QWidget *window, const QString &name)
    {
        QVERIFY2(window, qPrintable(name));
        const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QString reference = QDir(shotFolder()).filePath(name + QStringLiteral(".png"));
        if (writing()) {
            QVERIFY(QDir().mkpath(shotFolder()));
            QVERIFY(shot.save(reference, "PNG"));
            return;
        }
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!expected.isNull(), qPrintable(reference));
        if (shot != expected) {
            const QString kept = m_failed.filePath(name + QStringLiteral(".png"));
            shot.save(kept, "PNG");
            m_failed.setAutoRemove(false);
            m_mismatches << QStringLiteral("%1 (now %2)").arg(reference, kept);
        }
    }

    // Opens a window from the main window's menu and waits until it has the focus.
    QWidget *openFromMenu(const char *actionName, const char *windowName)
    {
        action(actionName)->trigger();
        QWidget *window = topLevel(windowName);
        if (window && !QTest::qWaitForWindowActive(window))
            return nullptr;
        return window;
    }

    // The year the information windows show is today's; a fixed one keeps
    // the references valid.
    static void fixYear(QWidget *window)
    {
        if (auto *year = window ? window->findChild<QLabel *>(QStringLiteral("label_year")) : nullptr)
            year->setText(QStringLiteral("2000"));
    }

    static bool serviceAnswers()
    {
        QTcpSocket socket;
        const QString address = ServiceHost::address();
        socket.connectToHost(address.section(QLatin1Char(':'), 0, 0), address.section(QLatin1Char(':'), 1).toUShort());
        return socket.waitForConnected(500);
    }

private slots:
    void initTestCase()
    {
        // The caret stays on, so a focused edit box looks the same at any moment.
        QApplication::setCursorFlashTime(0);
        // No update check: it would ask whatever service the build points at.
        QVERIFY(writeFile(QDir(m_program.path()).filePath("tarvlesolo.ini"), "[tarvlesolo]\nUpdate=false\nLeft=0\nTop=0\n"));
        m_session = std::make_unique<Session>(Session::Paths{m_program.path(), m_working.path(), {}}, nullptr);
        m_windows = std::make_unique<GameWindows>(*m_session);
    }

    void cleanupTestCase()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        m_windows.reset();
        m_session.reset();
    }

    // The windows in the order a player might meet them, ending with a
    // played board's review.
    void everyWindowLooksAsBefore()
    {
        main().show();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        compare(&main(), QStringLiteral("main-first-start"));
        main().findChild<FlatButton *>(QStringLiteral("button_namecancel"))->click();
        compare(&main(), QStringLiteral("main"));

        compare(openFromMenu("TallyList1", "tallylist"), QStringLiteral("tallylist"));
        QWidget *help = openFromMenu("Help2", "Thelp");
        fixYear(help);
        compare(help, QStringLiteral("help"));
        QWidget *about = openFromMenu("About1", "Tabout");
        fixYear(about);
        compare(about, QStringLiteral("about"));
        compare(openFromMenu("MultiplayerTarvle1", "Tmultiplayer"), QStringLiteral("multiplayer"));
        // Nothing answers at the service address here, so the list stays empty.
        if (serviceAnswers())
            qWarning("a service answers at %s: the high score window is not compared", qPrintable(ServiceHost::address()));
        else
            compare(openFromMenu("ViewHighScoreList1", "Thighscore"), QStringLiteral("highscore"));
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window != &main())
                window->hide();
        }

        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QWidget *dialog = openFromMenu("PlayBoardCode1", "Tboardcode");
        compare(dialog, QStringLiteral("boardcode"));
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("edit_code"));
        QTest::keyClicks(edit, QString::fromLatin1(Code));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(main().game().isPlaying());
        // At once, before the clock ticks.
        compare(&main(), QStringLiteral("main-playing"));

        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        for (const QString &word : {QStringLiteral("and"), QStringLiteral("come"), QStringLiteral("xq")}) {
            QTest::keyClicks(&main(), word);
            QTest::keyClick(&main(), Qt::Key_Return);
        }
        while (main().game().isPlaying())
            main().game().tick();
        compare(&main(), QStringLiteral("main-game-over"));
        compare(openFromMenu("BoardReview1", "Treview"), QStringLiteral("review"));

        if (!m_mismatches.isEmpty())
            QFAIL(qPrintable(QStringLiteral("differs from its reference: ") + m_mismatches.join(QStringLiteral(", "))));
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    WindowLookTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "windowlook_test.moc"
