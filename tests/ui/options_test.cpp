#include "application.h"
#include "flatbutton.h"
#include "gametestsupport.h"
#include "mainform.h"
#include "sessionwindow.h"
#include "messageboxes.h"
#include "nameedit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

// The settings file, the window's placement, the name and the Options menu,
// through the real main window and real files.
class OptionsTest : public SessionWindowTest
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_program;
    QTemporaryDir m_working;
    GameRecorder m_sound;

    QString iniPath() const { return QDir(m_program->path()).filePath("tarvlesolo.ini"); }

    void writeIni(const QByteArray &text)
    {
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QByteArray readIni() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void open()
    {
        openWindow(Session::Paths{m_program->path(), m_working.path(), {}}, &m_sound);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QCoreApplication::processEvents();
    }

    // Closes the window as its close box does, which saves, then ends the session.
    void closeByPlayer()
    {
        m_window->close();
        closeWindow();
    }

    QAction *action(const char *name) { return m_window->findChild<QAction *>(name); }

private slots:
    void init()
    {
        m_program = std::make_unique<QTemporaryDir>();
        m_sound.take();
    }

    void cleanup()
    {
        closeWindow();
    }

    // With no settings file the window opens at 3,3 with 568 by 580, sounds
    // and update check on, clicking chosen and the name Guest; closing it
    // writes the eight keys in their order.
    void firstStart()
    {
        open();
        QCOMPARE(m_window->frameGeometry(), QRect(3, 3, 568, 580));
        QVERIFY(action("PlaySounds1")->isChecked());
        QVERIFY(action("updatecheck")->isChecked());
        QVERIFY(action("ClickLetters1")->isChecked());
        QVERIFY(!action("ClickLetters2")->isChecked());
        QCOMPARE(m_window->findChild<NameEdit *>("edit_name")->text(), QStringLiteral("Guest"));
        QCOMPARE(m_sound.cues(), QStringList{"cue entered"});
        closeByPlayer();
        QCOMPARE(readIni(), QByteArray("[tarvlesolo]\nTop=3\nLeft=3\nWidth=568\nHeight=580\nClickletters=0\n"
                                       "Name=Guest\nSounds=yes\nUpdate=true\n"));
    }

    // Stored settings are applied as read, a placement off the screen too.
    void storedSettingsApplied()
    {
        writeIni("[tarvlesolo]\nTop=3000\nLeft=5000\nWidth=0x280\nHeight=$258\nClickletters=1\n"
                 "Name=Bartholomew Jones\nSounds=no\nUpdate=false\n");
        open();
        QCOMPARE(m_window->frameGeometry(), QRect(5000, 3000, 640, 600));
        QVERIFY(!action("PlaySounds1")->isChecked());
        QVERIFY(!action("updatecheck")->isChecked());
        QVERIFY(!action("ClickLetters1")->isChecked());
        QVERIFY(action("ClickLetters2")->isChecked());
        QCOMPARE(m_window->game().selectionMethod(), Game::Method::Dragging);
        QVERIFY2(m_sound.cues().isEmpty(), "not even entered with the sounds off");

        // A long stored name is shown and saved whole; typing cannot make it longer.
        auto *name = m_window->findChild<NameEdit *>("edit_name");
        auto *aname = m_window->findChild<NameEdit *>("edit_aname");
        QCOMPARE(name->text(), QStringLiteral("Bartholomew Jones"));
        QCOMPARE(aname->text(), QStringLiteral("Bartholomew Jones"));
        aname->setFocus();
        aname->end(false);
        QTest::keyClicks(aname, "x");
        QCOMPARE(aname->text(), QStringLiteral("Bartholomew Jones"));
        QTest::keyClick(aname, Qt::Key_Backspace);
        QTest::keyClicks(aname, "sz");
        QCOMPARE(aname->text(), QStringLiteral("Bartholomew Jone"));

        // Reset Screen Location puts it back at 3,3, 568 by 580.
        action("ResetScreenLocation1")->trigger();
        QCOMPARE(m_window->frameGeometry(), QRect(3, 3, 568, 580));
        QCOMPARE(m_window->savedbounds(), QRect(5000, 3000, 640, 600));
        closeByPlayer();
        QVERIFY(readIni().contains("Top=3\nLeft=3\nWidth=568\nHeight=580\nClickletters=1\nName=Bartholomew Jones\n"
                                   "Sounds=no\nUpdate=false\n"));
    }

    // Play Sounds and the update check flip and save at once; either method
    // item switches to the other method, also the one already checked.
    void optionsFlipAndSave()
    {
        open();
        action("PlaySounds1")->trigger();
        QVERIFY(!action("PlaySounds1")->isChecked());
        QVERIFY(readIni().contains("Sounds=no"));
        m_window->game().setDraw(drawBoard(QString(64, QLatin1Char('a'))));
        m_window->button_startClick();
        QVERIFY2(m_sound.cues() == QStringList{"cue entered"}, "nothing after the switch");
        action("PlaySounds1")->trigger();
        QVERIFY(readIni().contains("Sounds=yes"));

        action("updatecheck")->trigger();
        QVERIFY(!action("updatecheck")->isChecked());
        QVERIFY(readIni().contains("Update=false"));

        action("ClickLetters1")->trigger(); // already checked: still switches
        QVERIFY(!action("ClickLetters1")->isChecked());
        QVERIFY(action("ClickLetters2")->isChecked());
        QCOMPARE(m_window->game().selectionMethod(), Game::Method::Dragging);
        QVERIFY(readIni().contains("Clickletters=1"));
        action("ClickLetters2")->trigger(); // already checked: switches back
        QCOMPARE(m_window->game().selectionMethod(), Game::Method::ClickLetters);
        QVERIFY(action("ClickLetters1")->isChecked());
        QVERIFY(readIni().contains("Clickletters=0"));
        action("ClickLetters2")->trigger();
        QCOMPARE(m_window->game().selectionMethod(), Game::Method::Dragging);
    }

    // A game with the sounds on plays every cue at its moment; with them off,
    // none.
    void cuesOfAScriptedGame()
    {
        open();
        m_window->game().setDraw(drawBoard(sampleBoard));
        m_window->button_startClick();
        Game &game = m_window->game();
        game.typetheletter(3);  // c
        game.typetheletter(1);  // a
        game.typetheletter(20); // t
        game.pressdone();
        game.typetheletter(3);
        game.typetheletter(26); // z: nowhere beside
        game.rotateboard();
        m_window->button_clearClick();
        while (game.isPlaying())
            game.tick();
        QStringList expected{"cue entered", "cue turnnew", "cue click", "cue click", "cue click", "cue goodword",
                             "cue click", "cue invalid", "cue rotate", "cue clear"};
        for (int i = 0; i < 12; ++i)
            expected << "cue tick";
        expected << "cue gameover";
        QCOMPARE(m_sound.cues(), expected);

        m_sound.take();
        action("PlaySounds1")->trigger();
        m_window->button_startClick();
        game.typetheletter(3);
        while (game.isPlaying())
            game.tick();
        QVERIFY(m_sound.cues().isEmpty());
    }

    // The client area never gets smaller than 561 by 535.
    void minimumSize()
    {
        open();
        m_window->resize(300, 200);
        QCoreApplication::processEvents();
        QVERIFY(m_window->centralWidget()->width() >= 561);
        QVERIFY(m_window->centralWidget()->height() >= 535);
        // A larger window keeps the board group's size and moves it with the window.
        m_window->resize(900, 800);
        QCoreApplication::processEvents();
        QWidget *group = m_window->findChild<QWidget *>("panel_board");
        QCOMPARE(group->size(), QSize(556, 530));
        QVERIFY(group->x() > 100);
    }

    // A stored size below the minimum gives a client area of exactly 561 by
    // 535 at the stored place, and is saved so at close.
    void storedSizeBelowTheMinimumEnlarged()
    {
        writeIni("[tarvlesolo]\nTop=10\nLeft=20\nWidth=300\nHeight=200\n");
        open();
        QCOMPARE(m_window->centralWidget()->size(), QSize(561, 535));
        const QRect frame = m_window->frameGeometry();
        QCOMPARE(frame.topLeft(), QPoint(20, 10));
        closeByPlayer();
        QVERIFY(readIni().contains(
            QStringLiteral("Top=10\nLeft=20\nWidth=%1\nHeight=%2\n").arg(frame.width()).arg(frame.height()).toUtf8()));
    }

    // When the window system makes the window smaller than its minimum, as an
    // X server without a window manager does for any client, the client area
    // is enlarged back at once in the dimension that fell short.
    void windowSystemShrinkUndone()
    {
        writeIni("[tarvlesolo]\nTop=10\nLeft=20\nWidth=640\nHeight=600\n");
        open();
        const int menu = m_window->height() - m_window->centralWidget()->height();
        // A window system that ignores the minimum the window asks for.
        m_window->windowHandle()->setMinimumSize(QSize(1, 1));
        m_window->windowHandle()->resize(300, 700);
        QTRY_COMPARE(m_window->windowHandle()->size(), QSize(561, 700));
        QCOMPARE(m_window->size(), QSize(561, 700));
        QCOMPARE(m_window->centralWidget()->size(), QSize(561, 700 - menu));
        m_window->windowHandle()->resize(600, 100);
        QTRY_COMPARE(m_window->windowHandle()->size(), QSize(600, 535 + menu));
        QCOMPARE(m_window->centralWidget()->size(), QSize(600, 535));
    }

    // A stored size larger than the work area, a damaged one included, is cut
    // to it and saved so; the place is applied as stored, off the screen too.
    void storedSizeAtMostTheWorkArea()
    {
        writeIni("[tarvlesolo]\nTop=-4000\nLeft=9000\nWidth=0x7FFFFFFF\nHeight=2147483647\n");
        open();
        const QRect work = m_window->screen()->availableGeometry();
        QCOMPARE(m_window->savedbounds(), QRect(9000, -4000, work.width(), work.height()));
        QVERIFY(m_window->frameGeometry().width() <= work.width());
        QVERIFY(m_window->frameGeometry().height() <= work.height());
        closeByPlayer();
        QVERIFY(readIni().contains(
            QStringLiteral("Width=%1\nHeight=%2\n").arg(work.width()).arg(work.height()).toUtf8()));
    }

    // Closing a moved window stores 3 pixels less in a dimension larger than
    // the work area, once; an unmoved window still writes its placement.
    void closingAgainstTheWorkArea()
    {
        open();
        closeByPlayer();
        QVERIFY(readIni().contains("Top=3\nLeft=3\nWidth=568\nHeight=580\n"));

        open();
        const QRect work = m_window->screen()->availableGeometry();
        m_window->move(10, 20);
        m_window->resize(600, work.height() + 50);
        QCoreApplication::processEvents();
        const QRect frame = m_window->frameGeometry();
        QVERIFY(frame.height() > work.height());
        QVERIFY(frame.width() <= work.width());
        closeByPlayer();
        QVERIFY(readIni().contains(QStringLiteral("Top=%1\nLeft=%2\nWidth=%3\nHeight=%4\n")
                                       .arg(frame.top())
                                       .arg(frame.left())
                                       .arg(frame.width())
                                       .arg(frame.height() - 3)
                                       .toUtf8()));
    }

    // A settings file that cannot be written at close is reported, and the
    // program still ends.
    void unwritableAtClose()
    {
        QVERIFY(QDir(m_program->path()).mkdir("tarvlesolo.ini"));
        open();
        MessageBoxes boxes;
        QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);
        QVERIFY(m_window->close());
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Unable to write to %1.").arg(QDir::toNativeSeparators(iniPath()))});
        QVERIFY(!m_window->isVisible());
    }

    // Change Name shows the name panel with what its field holds; CANCEL
    // keeps the old name, DONE takes the new one.
    void changeName()
    {
        open();
        m_window->button_namecancelClick();
        auto *aname = m_window->findChild<NameEdit *>("edit_aname");
        aname->setText(QStringLiteral("Zoe"));
        m_window->button_namecancelClick();
        action("ChangeName1")->trigger();
        QVERIFY(m_window->game().panelShown(Game::Panel::Name));
        QCOMPARE(aname->text(), QStringLiteral("Zoe"));
        QCOMPARE(m_window->game().playerName(), QStringLiteral("Guest"));
        QTest::mouseClick(m_window->findChild<FlatButton *>("button_namedone"), Qt::LeftButton);
        QCOMPARE(m_window->game().playerName(), QStringLiteral("Zoe"));
        QVERIFY(!m_window->game().panelShown(Game::Panel::Name));
        closeByPlayer();
        QVERIFY(readIni().contains("Name=Zoe\n"));
    }

    // A stored empty name stays empty: "Guest" stands only for a missing
    // key. The greeting says "Good Luck " and the tally keeps the empty name.
    void storedEmptyNameStaysEmpty()
    {
        writeIni("[tarvlesolo]\nName=\n");
        open();
        QVERIFY(m_window->findChild<NameEdit *>("edit_name")->text().isEmpty());
        QVERIFY(m_window->findChild<NameEdit *>("edit_aname")->text().isEmpty());
        m_window->button_startClick();
        QCOMPARE(m_window->game().greetingText(), QStringLiteral("Good Luck "));
        while (m_window->game().isPlaying())
            m_window->game().tick();
        QCOMPARE(m_session->tally().row(1).score, QStringLiteral("0"));
        QVERIFY(m_session->tally().row(1).name.isEmpty());
        closeByPlayer();
        QVERIFY(readIni().contains("Name=\n"));
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    OptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "options_test.moc"
