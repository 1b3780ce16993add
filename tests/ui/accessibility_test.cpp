#include "application.h"
#include "artwork.h"
#include "helpform.h"
#include "messageboxes.h"
#include "tallylistform.h"
#include "gametestsupport.h"
#include "mainform.h"
#include "sampleboard.h"
#include "sessionwindow.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>


// The game as a screen reader reads it: the accessibility tree and the
// events it is sent, offscreen.
class AccessibilityTest : public SessionWindowTest
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
    GameRecorder m_cues;
    QStringList m_news;

    QAccessibleInterface *board()
    {
        return QAccessible::queryAccessibleInterface(m_window->findChild<QWidget *>("paintbox_board"));
    }

    QString letters()
    {
        QString text;
        QAccessibleTableInterface *table = board()->tableInterface();
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column)
                text += table->cellAt(row, column)->text(QAccessible::Name);
        return text;
    }

    QAccessibleInterface *strip()
    {
        return QAccessible::queryAccessibleInterface(m_window->findChild<QWidget *>("wordStrip"));
    }

    // Reads the news label's name as a screen reader would after each step,
    // and keeps what is new.
    void listen()
    {
        const QString said =
            QAccessible::queryAccessibleInterface(m_window->findChild<QWidget *>("label_news"))->text(QAccessible::Name);
        if (!said.isEmpty() && (m_news.isEmpty() || m_news.last() != said))
            m_news << said;
    }

    void key(Qt::Key key)
    {
        QTest::keyClick(m_window.get(), key);
        listen();
    }

    void type(const char *word)
    {
        for (const char *c = word; *c; ++c)
            key(Qt::Key(Qt::Key_A + (*c - 'a')));
    }

private slots:
    void init()
    {
        m_news.clear();
        openWindow(Session::Paths{m_program.path(), m_working.path(), {}}, &m_cues);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() { closeWindow(); }

    // The board is a table of 8 × 8 cells named by their letters, as the
    // player sees them: empty before a game, the deal, then each rotation.
    void boardIsATableOfLetters()
    {
        QAccessibleInterface *table = board();
        QVERIFY(table);
        QCOMPARE(table->role(), QAccessible::Table);
        QCOMPARE(table->tableInterface()->rowCount(), 8);
        QCOMPARE(table->tableInterface()->columnCount(), 8);
        QCOMPARE(table->childCount(), 64);
        QCOMPARE(letters(), QString());

        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->game().startGame();
        QCOMPARE(letters(), QString::fromLatin1(SampleBoardText).toUpper());
        QAccessibleInterface *cell = table->tableInterface()->cellAt(2, 4);
        QCOMPARE(cell->role(), QAccessible::Cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("U"));
        QCOMPARE(cell->text(QAccessible::Description), QStringLiteral("row 3, column 5"));
        QCOMPARE(table->indexOfChild(cell), 2 * 8 + 4);
        QCOMPARE(cell->tableCellInterface()->rowIndex(), 2);

        // A quarter turn clockwise: the first column, read upwards, is the top row.
        m_window->game().rotateboard();
        QString firstColumnUp;
        for (int row = 7; row >= 0; --row)
            firstColumnUp += QChar(SampleBoardText[row * 8]).toUpper();
        QCOMPARE(letters().left(8), firstColumnUp);
    }

    // Typing a word selects its cells, the newest one focused; the strip is a
    // list of the twelve slots named by the word.
    void typedWordIsSelected()
    {
        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->game().startGame();
        type("cat");
        QAccessibleTableInterface *table = board()->tableInterface();
        QCOMPARE(table->selectedCellCount(), 3);
        QStringList selected;
        for (QAccessibleInterface *cell : table->selectedCells())
            selected << cell->text(QAccessible::Name);
        QCOMPARE(selected, (QStringList{"C", "A", "T"}));
        QVERIFY(table->cellAt(0, 2)->state().selected);
        QVERIFY(table->cellAt(0, 2)->state().focused);
        QVERIFY(!table->cellAt(0, 1)->state().focused);
        QVERIFY(!table->cellAt(1, 1)->state().selected);

        QAccessibleInterface *list = strip();
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("current word: CAT"));
        QCOMPARE(list->childCount(), 12);
        QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("C"));
        QCOMPARE(list->child(2)->text(QAccessible::Name), QStringLiteral("T"));
        QCOMPARE(list->child(3)->text(QAccessible::Name), QStringLiteral("empty"));

        QTest::keyClick(m_window.get(), Qt::Key_Backspace);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("current word: CA"));
        QVERIFY(table->cellAt(0, 1)->state().focused);
        QVERIFY(!table->cellAt(0, 2)->state().selected);
    }

    // The news of a scripted game, in order: the game's prompt, a refused word, an accepted one
    // with its points, the clock's last twenty seconds, and the game's end.
    void newsIsAnnouncedInOrder()
    {
        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->game().startGame();
        type("ca");
        key(Qt::Key_Return);
        key(Qt::Key_1);
        type("cat");
        key(Qt::Key_Return);
        type("cat");
        key(Qt::Key_Return);
        while (m_window->game().isPlaying()) {
            m_window->game().tick();
            listen();
        }
        QCOMPARE(m_news, (QStringList{
                              "Click or Type a Word", "Not enough letters.", "CAT, 1 point", "You have already found that word.",
                              "20 seconds left", "15 seconds left", "10 seconds left", "9 seconds left",
                              "8 seconds left", "7 seconds left", "6 seconds left", "5 seconds left",
                              "4 seconds left", "3 seconds left", "2 seconds left", "1 second left",
                              "Game over. Score: 1",
                          }));
    }

    // Every button the mouse reaches, the keyboard reaches too: the name
    // panel (Enter is DONE, Escape CANCEL), the game-over panel (Escape is
    // DONE), the update offer (Alt+U, Alt+C), and the other windows (Escape
    // is Done, Alt+R resets the tally, the help sections by their numbers).
    void keyboardReachesEveryButton()
    {
        auto *panelName = m_window->findChild<QWidget *>("panel_name");
        auto *aname = m_window->findChild<QLineEdit *>("edit_aname");
        QVERIFY(panelName->isVisible());
        aname->setFocus();
        aname->selectAll();
        QTest::keyClicks(aname, "Ann");
        QTest::keyClick(aname, Qt::Key_Return);
        QVERIFY(!panelName->isVisible());
        QCOMPARE(m_window->findChild<QLineEdit *>("edit_name")->text(), QStringLiteral("Ann"));
        m_window->findChild<QAction *>("ChangeName1")->trigger();
        QVERIFY(panelName->isVisible());
        aname->setFocus();
        QTest::keyClicks(aname, "xyz");
        QTest::keyClick(aname, Qt::Key_Escape);
        QVERIFY(!panelName->isVisible());
        QCOMPARE(m_window->findChild<QLineEdit *>("edit_name")->text(), QStringLiteral("Ann"));

        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->game().startGame();
        while (m_window->game().isPlaying())
            m_window->game().tick();
        auto *cleared = m_window->findChild<QWidget *>("panel_cleared");
        QVERIFY(cleared->isVisible());
        auto *name = m_window->findChild<QLineEdit *>("edit_name");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(!cleared->isVisible());

        m_window->attachUpdateCheck(m_session->update());
        m_session->update().checkupdateDoneString(QStringLiteral("0.9"));
        auto *update = m_window->findChild<QWidget *>("panel_update");
        QVERIFY(update->isVisible());
        QTest::keyClick(m_window.get(), Qt::Key_C, Qt::AltModifier);
        // A button's key presses it for a moment, as a click would.
        QTRY_VERIFY(!update->isVisible());

        Ttallylist tally(Artwork::background(), m_session->tally());
        tally.show();
        QVERIFY(QTest::qWaitForWindowActive(&tally));
        {
            MessageBoxes boxes(MessageBoxes::Answer::No);
            QTest::keyClick(&tally, Qt::Key_R, Qt::AltModifier);
            QTRY_COMPARE(boxes.shown.size(), 1);
        }
        tally.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tally));
        QTest::keyClick(&tally, Qt::Key_Escape);
        QTRY_VERIFY(!tally.isVisible());

        Thelp help(Artwork::background());
        help.show();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        QTest::keyClick(&help, Qt::Key_4);
        QTRY_COMPARE(help.findChild<QLabel *>("label_caption")->text(), QStringLiteral("Scoring"));
        QTest::keyClick(&help, Qt::Key_Escape);
        QTRY_VERIFY(!help.isVisible());
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "accessibility_test.moc"
