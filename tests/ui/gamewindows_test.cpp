// The main window is made at start and each other window the first time the
// player opens it, once; work that waits for the first paint runs after it.
#include "application.h"
#include "firstpaint.h"
#include "flatbutton.h"
#include "gamewindows.h"
#include "session.h"
#include "testfiles.h"

#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

int topLevelsNamed(const char *name)
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += window->objectName() == QLatin1String(name) ? 1 : 0;
    return count;
}

} // namespace

class GameWindowsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<GameWindows> m_windows;

    QAction *action(const char *name)
    {
        return m_windows->main.menuBar()->findChild<QAction *>(QString::fromLatin1(name));
    }

private slots:
    void init()
    {
        // No update check: it would ask whatever service the build points at.
        QVERIFY(writeFile(QDir(m_program.path()).filePath("tarvlesolo.ini"), "[tarvlesolo]\nUpdate=false\n"));
        m_session = std::make_unique<Session>(Session::Paths{m_program.path(), m_working.path(), {}}, nullptr);
        m_windows = std::make_unique<GameWindows>(*m_session);
        m_windows->main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_windows->main));
    }

    void cleanup()
    {
        m_windows.reset();
        m_session.reset();
    }

    // Only the main window exists once it is on the screen.
    void theStartMakesOnlyTheMainWindow()
    {
        QCOMPARE(topLevelsNamed("Tmain"), 1);
        for (const char *name : {"tallylist", "Thelp", "Tabout", "Thighscore", "Tmultiplayer", "Treview", "Tboardcode"})
            QVERIFY2(topLevelsNamed(name) == 0, name);
    }

    // The menu makes the window the first time and shows the same one after.
    void aWindowIsMadeWhenFirstOpenedAndOnlyOnce()
    {
        action("TallyList1")->trigger();
        QCOMPARE(topLevelsNamed("tallylist"), 1);
        Ttallylist &tally = m_windows->tallylist();
        QVERIFY(tally.isVisible());
        tally.button_doneClick();
        QVERIFY(!tally.isVisible());
        action("TallyList1")->trigger();
        QCOMPARE(topLevelsNamed("tallylist"), 1);
        QCOMPARE(&m_windows->tallylist(), &tally);
        QVERIFY(tally.isVisible());
        QCOMPARE(topLevelsNamed("Thelp"), 0);
    }

    // A window made late is wired as one made at start: help's About button
    // opens the about window, made then.
    void aWindowMadeLateIsWiredToTheOthers()
    {
        action("Help2")->trigger();
        QVERIFY(m_windows->help().isVisible());
        QCOMPARE(topLevelsNamed("Tabout"), 0);
        m_windows->help().findChild<FlatButton *>(QStringLiteral("button_about"))->click();
        QCOMPARE(topLevelsNamed("Tabout"), 1);
        QVERIFY(m_windows->about().isVisible());
    }

    // The windows made on the way go with the rest.
    void theWindowsMadeLateGoWithTheMainWindow()
    {
        action("MultiplayerTarvle1")->trigger();
        QPointer<QWidget> multiplayer = &m_windows->multiplayer();
        m_windows.reset();
        QVERIFY(multiplayer.isNull());
        QCOMPARE(topLevelsNamed("Tmain"), 0);
    }

    // The work runs once, after the window's first paint and not before.
    void workWaitsForTheFirstPaint()
    {
        QWidget window;
        window.resize(50, 40);
        int runs = 0;
        FirstPaint::then(&window, [&runs] { ++runs; });
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(runs, 1);
        window.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(runs, 1);
    }

    // A window that goes before it was painted drops the work.
    void workForAWindowNeverPaintedIsDropped()
    {
        int runs = 0;
        {
            QWidget window;
            FirstPaint::then(&window, [&runs] { ++runs; });
        }
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    GameWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "gamewindows_test.moc"
