#include "application.h"
#include "flatbutton.h"
#include "flatpanel.h"
#include "gamewindows.h"
#include "session.h"
#include "menubar.h"
#include "tiledbackground.h"

#include <QAction>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QtMath>

#include <memory>

namespace {

// One component as the window's layout gives it. A place with no size
// checks only the position (labels that take the size of their text).
struct Component {
    const char *name;
    const char *parent;
    QRect place;
    bool shown;
    const char *text = nullptr;
    int pixelSize = 0;
    bool bold = false;
};

constexpr QRect at(int left, int top)
{
    return QRect(left, top, 0, 0);
}

const Component mainComponents[] = {
    {"panel_board", "LbBackground1", {2, 1, 556, 530}, true},
    {"label_name", "panel_board", {11, 5, 153, 16}, true, "Welcome to Tarvle Solo!", 13},
    {"panel_board1", "panel_board", {8, 22, 540, 499}, true},
    {"Image8", "panel_board1", {353, 58, 175, 29}, true},
    {"image_timer", "panel_board1", {358, 63, 165, 20}, true},
    {"label_timer", "panel_board1", {362, 64, 80, 19}, true, "Time: 0:00", 16, true},
    {"image_logo", "panel_board1", {158, 453, 216, 42}, true},
    {"label_score", "panel_board1", {354, 88, 173, 24}, true, "Score:", 19, true},
    {"image_minletters", "panel_board1", {11, 5, 517, 7}, true},
    {"label_status", "panel_board1", {12, 57, 337, 16}, true, "Don't Get Tarvled!", 13, true},
    {"button_clear", "panel_board1", {11, 421, 95, 27}, true, "CLEAR", 16, true},
    {"button_rotate", "panel_board1", {132, 421, 95, 27}, true, "ROTATE", 16, true},
    {"button_send", "panel_board1", {253, 421, 95, 27}, true, "DONE", 16, true},
    {"button_start", "panel_board1", {357, 421, 172, 27}, true, "START GAME", 16, true},
    {"panel_boardback", "panel_board1", {11, 75, 338, 341}, true},
    {"paintbox_board", "panel_boardback", {1, 1, 336, 339}, true},
    {"panel_words", "panel_board1", {356, 111, 172, 305}, true},
    {"Image3", "panel_words", {24, 1, 118, 21}, true},
    {"label_found", "panel_words", {2, 19, 151, 16}, true, "Count: 0", 13, true},
    {"richedit_words", "panel_words", {4, 38, 164, 264}, true, "", 16, true},
    {"listbox_wordsfound", "panel_board1", {136, 344, 177, 33}, false},
    {"panel_cleared", "panel_board1", {100, 97, 329, 264}, false},
    // Hidden in the layout; the program shows it at start.
    {"panel_name", "panel_board1", {99, 128, 329, 161}, true},
    {"panel_update", "panel_board1", {101, 128, 329, 161}, false},
    {"Label1", "panel_cleared", {-1, 10, 327, 24}, true, "Time Up..Game Over!", 19, true},
    {"label_score1", "panel_cleared", {2, 41, 327, 24}, true, "Your Score: ", 19, true},
    {"Label3", "panel_cleared", {4, 69, 321, 24}, true, "Enter Your Name", 19, true},
    {"edit_name", "panel_cleared", {83, 91, 161, 32}, true, "Guest", 19},
    {"button_sendscore", "panel_cleared", {78, 135, 172, 36}, true, "SEND SCORE", 16, true},
    {"button_highscore", "panel_cleared", {78, 178, 172, 36}, true, "VIEW HIGH SCORES", 16, true},
    {"button_done", "panel_cleared", {109, 219, 111, 36}, true, "DONE", 16, true},
    {"button_review", "panel_cleared", {228, 219, 92, 36}, true, "REVIEW", 16, true},
    {"panel_wait", "panel_cleared", {9, 129, 309, 49}, false, "Posting Score, Please Wait......"},
    {"button_namedone", "panel_name", {43, 100, 111, 36}, true, "DONE", 16, true},
    {"button_namecancel", "panel_name", {171, 100, 111, 36}, true, "CANCEL", 16, true},
    {"edit_aname", "panel_name", {83, 48, 161, 32}, true, "Guest", 19},
    {"button_updateyes", "panel_update", {43, 93, 111, 36}, true, "UPDATE", 16, true},
    {"button_updatecancel", "panel_update", {171, 93, 111, 36}, true, "CANCEL", 16, true},
};

const Component tallyComponents[] = {
    {"FlatPanel1", "", {6, 5, 331, 428}, true},
    {"label_myname", "FlatPanel1", {1, 5, 328, 24}, true, "YOUR TALLY LIST", 19, true},
    {"Label9", "FlatPanel1", {88, 40, 101, 16}, true, "Total Games:", 13, true},
    {"mylabel_1", "FlatPanel1", {194, 40, 59, 16}, true, "0", 13, true},
    {"Label2", "FlatPanel1", {69, 59, 120, 16}, true, "Words Found:", 13, true},
    {"mylabel_2", "FlatPanel1", {194, 59, 59, 16}, true, "0", 13, true},
    {"Label3", "FlatPanel1", {8, 78, 181, 16}, true, "Running Total Score:", 13, true},
    {"mylabel_3", "FlatPanel1", {194, 78, 59, 16}, true, "0", 13, true},
    {"Label5", "FlatPanel1", {8, 98, 181, 16}, true, "Average Game Score:", 13, true},
    {"mylabel_4", "FlatPanel1", {194, 98, 59, 16}, true, "0", 13, true},
    {"Label1", "FlatPanel1", {1, 128, 328, 24}, true, "HIGH SCORES", 19, true},
    {"button_reset", "FlatPanel1", {80, 395, 137, 26}, true, "RESET TALLY", 16, true},
    {"button_done", "FlatPanel1", {226, 395, 95, 26}, true, "DONE", 16, true},
};

const Component helpComponents[] = {
    {"panel_side", "", {0, 0, 137, 431}, true},
    {"SelButton1", "panel_side", {7, 8, 122, 20}, true, "Overview", 13, true},
    {"SelButton3", "panel_side", {7, 32, 122, 20}, true, "Game Play", 13, true},
    {"SelButton4", "panel_side", {7, 56, 122, 20}, true, "Scoring", 13, true},
    {"SelButton5", "panel_side", {7, 80, 122, 20}, true, "Documentation", 13, true},
    {"button_about", "panel_side", {7, 152, 122, 20}, true, "About", 13, true},
    {"label_year", "panel_side", at(100, 368), true, nullptr, 11},
    {"button_done", "panel_side", {18, 404, 95, 20}, true, "Done", 13, true},
    {"panel_main", "", {137, 0, 386, 431}, true},
    {"label_caption", "panel_main", {1, 1, 384, 20}, true, "Overview", 16, true},
    {"memo1", "panel_main", {1, 21, 384, 409}, true},
    {"memo3", "panel_main", {1, 21, 384, 409}, true},
    {"memo4", "panel_main", {1, 21, 384, 409}, true},
    {"memo5", "panel_main", {1, 21, 384, 409}, true},
};

const Component aboutComponents[] = {
    {"Image1", "", {42, 10, 206, 49}, true},
    {"Label7", "", {8, 72, 289, 20}, true, nullptr, 16, true},
    {"label_year", "", at(108, 138), true, nullptr, 13, true},
    {"Label1", "", at(48, 171), true, "Version", 13, true},
    {"version", "", at(96, 171), true, "1.0.0", 13, true},
    {"Label9", "", at(123, 171), true, ".2", 13, true},
    {"button_done", "", {202, 165, 95, 20}, true, "Done", 13, true},
};

const Component multiplayerComponents[] = {
    {"Label6", "", {0, 16, 563, 23}, true, nullptr, 16, true},
    {"Label1", "", {32, 48, 489, 41}, true, nullptr, 19, true},
    {"Image1", "", {80, 96, 400, 300}, true},
    {"button_done", "", {458, 403, 95, 20}, true, "Done", 13, true},
};

const Component highscoreComponents[] = {
    {"Image1", "", {4, 8, 104, 104}, true},
    {"Label1", "", at(8, 544), true, "Brenik Software"},
    {"button_done", "", {498, 521, 95, 32}, true, "DONE"},
    {"panel_main", "", {112, 8, 481, 507}, true},
    {"displayhtml", "panel_main", {1, 1, 479, 505}, true},
};

QString textOf(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *panel = qobject_cast<const FlatPanel *>(widget))
        return panel->caption();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto *rich = qobject_cast<const QTextEdit *>(widget))
        return rich->toPlainText();
    return QString();
}

// The menu tree: per menu its items in order, "-" for a separator.
struct MenuItem {
    const char *name;
    const char *caption;
    QKeySequence shortcut;
    bool checkable;
    bool checked;
};

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<GameWindows> m_windows;

    Tmain &main() { return m_windows->main; }
    Game &game() { return main().game(); }

    template<typename T = QWidget> T *child(QWidget *window, const char *name)
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("%s has no %s", qPrintable(window->objectName()), name);
        return widget;
    }

    QAction *action(const char *name) { return main().menuBar()->findChild<QAction *>(QString::fromLatin1(name)); }

    // The window whose direct child of the panel lies at a point of it.
    static QWidget *topmostAt(QWidget *panel, QPoint point)
    {
        QWidget *at = panel->childAt(point);
        while (at && at->parentWidget() != panel)
            at = at->parentWidget();
        return at;
    }

    // Walks a table: every component exists under its parent, at its place,
    // shown or hidden, with its text and font.
    void checkComponents(QWidget *window, const Component *begin, const Component *end, QWidget *root)
    {
        for (const Component *c = begin; c != end; ++c) {
            const QByteArray what = QByteArray(c->name) + " of " + window->objectName().toLatin1();
            QWidget *widget;
            // Numbered names repeat across panels: look under the parent first.
            QWidget *parent = *c->parent ? child(window, c->parent) : root;
            widget = parent->findChild<QWidget *>(QString::fromLatin1(c->name), Qt::FindDirectChildrenOnly);
            // The client area: the window itself or the background over it.
            if (!widget && !*c->parent)
                widget = window->findChild<QWidget *>(QString::fromLatin1(c->name), Qt::FindDirectChildrenOnly);
            QVERIFY2(widget, what.constData());
            if (c->place.isEmpty())
                QVERIFY2(widget->pos() == c->place.topLeft(), what.constData());
            else
                QVERIFY2(widget->geometry() == c->place,
                         (what + " at " + QByteArray::number(widget->x()) + "," + QByteArray::number(widget->y()) + " "
                          + QByteArray::number(widget->width()) + "x" + QByteArray::number(widget->height()))
                             .constData());
            QVERIFY2(widget->isHidden() == !c->shown, what.constData());
            if (c->text)
                QVERIFY2(textOf(widget) == QString::fromUtf8(c->text), (what + ": " + textOf(widget).toUtf8()).constData());
            if (c->pixelSize) {
                QVERIFY2(widget->font().pixelSize() == c->pixelSize, what.constData());
                QVERIFY2(widget->font().bold() == c->bold, what.constData());
            }
        }
    }

    QWidget *clientOf(QWidget *window) { return window->findChild<TiledBackground *>(QString(), Qt::FindDirectChildrenOnly); }

private slots:
    void init()
    {
        // No update check: it would ask whatever service the build points at.
        QFile ini(QDir(m_program.path()).filePath("tarvlesolo.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[tarvlesolo]\nUpdate=false\n");
        ini.close();
        m_session = std::make_unique<Session>(Session::Paths{m_program.path(), m_working.path(), {}}, nullptr);
        m_windows = std::make_unique<GameWindows>(*m_session);
        main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
        // After the stored placement: the layout's client area, the smallest
        // the window takes.
        QCoreApplication::processEvents();
        main().resize(561, 535 + main().menuBar()->height());
        QCoreApplication::processEvents();
        QCOMPARE(main().centralWidget()->size(), QSize(561, 535));
    }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        m_windows.reset();
        m_session.reset();
        QFile::remove(QDir(m_program.path()).filePath("tarvlesolotally.tld"));
    }

    void mainWindowComponents()
    {
        QCOMPARE(main().windowTitle(), QStringLiteral("Tarvle Solo - Brenik Software"));
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Tarvle Solo"));
        checkComponents(&main(), std::begin(mainComponents), std::end(mainComponents), main().centralWidget());
        for (int slot = 1; slot <= 12; ++slot) {
            auto *view = child(&main(), qPrintable(QStringLiteral("image_letters%1").arg(slot)));
            QCOMPARE(view->parentWidget()->objectName(), QStringLiteral("panel_board1"));
            QCOMPARE(view->geometry(), QRect(12 + 43 * (slot - 1), 11, 42, 42));
        }
        // Colours: cream labels, a maroon final score, orange found words on green.
        QCOMPARE(child(&main(), "label_status")->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xC6));
        QCOMPARE(child(&main(), "label_score1")->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x00));
        auto *words = child<QTextEdit>(&main(), "richedit_words");
        QCOMPARE(words->palette().color(QPalette::Base), QColor(0x4C, 0x6A, 0x4C));
        QCOMPARE(words->palette().color(QPalette::Text), QColor(0xFF, 0x80, 0x00));
        QVERIFY(words->isReadOnly());
        QCOMPARE(words->focusPolicy(), Qt::NoFocus);
        // The name-entry and update panels' buttons have grey captions.
        QCOMPARE(child<FlatButton>(&main(), "button_namedone")->captionColor(), QColor(0x80, 0x80, 0x80));
        QCOMPARE(child<FlatButton>(&main(), "button_updateyes")->captionColor(), QColor(0x80, 0x80, 0x80));
        QCOMPARE(child<FlatButton>(&main(), "button_start")->captionColor(), QColor(0x4A, 0x4A, 0x4A));
        // At most ten typed characters.
        auto *name = child<QLineEdit>(&main(), "edit_name");
        name->clear();
        QTest::keyClicks(name, QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJ"));
    }

    // The hidden list follows the words tried in a game and starts empty
    // with every game.
    void triedWordsList()
    {
        auto *tried = child<QListWidget>(&main(), "listbox_wordsfound");
        game().startGame();
        for (const char *word : {"qzx", "zzzz"}) {
            for (const char *letter = word; *letter; ++letter)
                game().keyDown(KeyIntent{KeyIntent::Kind::Letter, *letter - 'a' + 1});
            game().pressdone();
        }
        QStringList listed;
        for (int row = 0; row < tried->count(); ++row)
            listed << tried->item(row)->text();
        QCOMPARE(listed, game().triedWords());
        QVERIFY(tried->isHidden());
        game().startGame();
        QCOMPARE(tried->count(), 0);
    }

    // A greeting with a long name grows its label rather than cutting it.
    void longGreetingGrows()
    {
        child<QLineEdit>(&main(), "edit_name")->setText(QStringLiteral("WWWWWWWWWW"));
        game().startGame();
        auto *label = child<QLabel>(&main(), "label_name");
        QCOMPARE(label->text(), QStringLiteral("Good Luck WWWWWWWWWW"));
        QVERIFY(label->width() >= label->sizeHint().width());
        QCOMPARE(label->pos(), QPoint(11, 5));
    }

    void menuTree()
    {
        QMenuBar *bar = main().menuBar();
        QStringList top;
        for (QAction *item : bar->actions())
            top << (item->menu() ? item->menu()->objectName() : item->objectName());
        QCOMPARE(top, (QStringList{"file1", "Options1", "View1", "Help1", "N4", "MultiplayerTarvle1"}));
        QCOMPARE(bar->actions().at(5)->text(), QStringLiteral("Check out Multiplayer Tarvle!"));

        const QList<QList<MenuItem>> menus = {
            {{"StartGame1", "Start Game", QKeySequence(Qt::CTRL | Qt::Key_S), false, false},
             {"PlayBoardCode1", "Play Board Code...", {}, false, false},
             {"PlayTodaysBoard1", "Play Today's Board", {}, false, false},
             {"N1", "-", {}, false, false},
             {"Exit1", "Exit", {}, false, false}},
            {{"PlaySounds1", "Play Sounds", {}, true, true},
             {"ResetScreenLocation1", "Reset Screen Location", {}, false, false},
             {"ChangeName1", "Change  Name", {}, false, false},
             {"updatecheck", "Automatically Check for Updates", {}, true, false},
             {"N3", "-", {}, false, false},
             {"ClickLetters1", "Click Letters Method", {}, true, true},
             {"ClickLetters2", "Dragging Method", {}, true, false}},
            {{"TallyList1", "Tally List", {}, false, false},
             {"ViewHighScoreList1", "View High Score List", {}, false, false},
             {"BoardReview1", "Board Review", {}, false, false}},
            {{"Help2", "Help", QKeySequence(Qt::Key_F1), false, false},
             {"N2", "-", {}, false, false},
             {"About1", "About", {}, false, false}},
        };
        for (int m = 0; m < menus.size(); ++m) {
            const QList<QAction *> items = bar->actions().at(m)->menu()->actions();
            QCOMPARE(items.size(), menus[m].size());
            for (int i = 0; i < items.size(); ++i) {
                const MenuItem &want = menus[m][i];
                QCOMPARE(items[i]->objectName(), QString::fromLatin1(want.name));
                if (QByteArray(want.caption) == "-") {
                    QVERIFY(items[i]->isSeparator());
                    continue;
                }
                QCOMPARE(items[i]->text(), QString::fromLatin1(want.caption));
                QCOMPARE(items[i]->shortcut(), want.shortcut);
                QCOMPARE(items[i]->isCheckable(), want.checkable);
                // The update check is off in this test's settings.
                QCOMPARE(items[i]->isChecked(), want.checked);
            }
        }
        QCOMPARE(action("ClickLetters1")->toolTip(),
                 QStringLiteral("Click on each letter. Right click the mouse button or press the DONE button to send."));
        QCOMPARE(action("ClickLetters2")->toolTip(),
                 QStringLiteral("Click and hold the mouse, drag over the letters, release to complete word."));

        // The separator on the bar is drawn between Help and the last item.
        auto *mainMenu = qobject_cast<MenuBar *>(bar);
        QVERIFY(mainMenu);
        QAction *separator = bar->actions().at(4);
        QVERIFY(mainMenu->isBarSeparator(separator));
        QVERIFY(!separator->isEnabled());
        const QRect help = bar->actionGeometry(bar->actions().at(3));
        const QRect line = bar->actionGeometry(separator);
        const QRect last = bar->actionGeometry(bar->actions().at(5));
        QVERIFY(line.width() > 0 && line.height() > 0);
        QVERIFY(help.right() < line.left() && line.right() < last.left());
        const QImage drawn = bar->grab().toImage();
        // In the picture's own pixels, which are finer at a larger scale.
        const qreal ratio = drawn.devicePixelRatio();
        const int x = qRound(line.center().x() * ratio);
        const int left = qRound(line.left() * ratio);
        int inked = 0;
        for (int y = qRound(line.top() * ratio); y < qRound((line.bottom() + 1) * ratio); ++y)
            inked += drawn.pixelColor(x, y) != drawn.pixelColor(left, y);
        QVERIFY(inked >= line.height() * ratio / 2);
    }

    // The other windows, each as the program creates it: caption, client
    // size, whether it can be resized, and every named component.
    void otherWindows()
    {
        struct Window {
            QWidget *window;
            const char *caption;
            QSize client;
            bool fixed;
            const Component *begin;
            const Component *end;
        };
        const Window windows[] = {
            {&m_windows->tallylist(), "Tarvle Solo - Tally List", {342, 438}, true, std::begin(tallyComponents),
             std::end(tallyComponents)},
            {&m_windows->help(), "Tarvle Solo - Help File", {523, 431}, false, std::begin(helpComponents),
             std::end(helpComponents)},
            {&m_windows->about(), "Tarvle Solo - About", {304, 193}, true, std::begin(aboutComponents),
             std::end(aboutComponents)},
            {&m_windows->multiplayer(), "Tarvle Solo - Multiplayer", {569, 431}, true,
             std::begin(multiplayerComponents), std::end(multiplayerComponents)},
            {&m_windows->highscore(), "Tarvle Solo - High Scores", {603, 561}, true, std::begin(highscoreComponents),
             std::end(highscoreComponents)},
        };
        for (const Window &w : windows) {
            QVERIFY(w.window->isHidden());
            w.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.window));
            QCOMPARE(w.window->windowTitle(), QString::fromLatin1(w.caption));
            QCOMPARE(w.window->size(), w.client);
            QCOMPARE(w.window->minimumSize() == w.window->maximumSize(), w.fixed);
            checkComponents(w.window, w.begin, w.end, clientOf(w.window));
            w.window->hide();
        }
        // The tally's record rows, by number.
        QWidget *panel = child(&m_windows->tallylist(), "FlatPanel1");
        for (int i = 1; i <= 10; ++i) {
            const int y = 158 + 24 * (i - 1);
            auto *num = panel->findChild<QLabel *>(QStringLiteral("label_num%1").arg(i));
            QVERIFY(num);
            QCOMPARE(num->geometry(), QRect(5, y, 24, 16));
            QCOMPARE(num->text(), QStringLiteral("%1.").arg(i));
            QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("label_date%1").arg(i))->geometry(), QRect(32, y, 101, 16));
            QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("label_name%1").arg(i))->geometry(), QRect(136, y, 132, 16));
            QCOMPARE(panel->findChild<QLabel *>(QStringLiteral("label_high%1").arg(i))->pos(), QPoint(286, y));
        }
        const QString year = QString::number(QDate::currentDate().year());
        QCOMPARE(child<QLabel>(&m_windows->help(), "label_year")->text(), year);
        QCOMPARE(child<QLabel>(&m_windows->about(), "label_year")->text(), year);
        // The help pages fill the area under the heading as the window grows.
        m_windows->help().show();
        m_windows->help().resize(700, 500);
        QCoreApplication::processEvents();
        QCOMPARE(child(&m_windows->help(), "panel_side")->geometry(), QRect(0, 0, 137, 500));
        QCOMPARE(child(&m_windows->help(), "memo4")->geometry(), QRect(1, 21, 700 - 137 - 2, 500 - 22));
    }

    // Each menu item opens its window without blocking the main window; one
    // already open comes to the front.
    void menuOpensWindows()
    {
        QWidget *const opened[] = {&m_windows->tallylist(), &m_windows->help(), &m_windows->about(),
                                   &m_windows->multiplayer(), &m_windows->highscore()};
        const char *const items[] = {"TallyList1", "Help2", "About1", "MultiplayerTarvle1", "ViewHighScoreList1"};
        for (int i = 0; i < 5; ++i) {
            action(items[i])->trigger();
            QVERIFY(opened[i]->isVisible());
            QVERIFY(!opened[i]->isModal());
            QVERIFY(QTest::qWaitForWindowActive(opened[i]));
        }
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        // Back to the first: shown once, now in front again.
        action("TallyList1")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(&m_windows->tallylist()));
        // The main window still takes clicks: START GAME starts a game.
        QTest::mouseClick(child<FlatButton>(&main(), "button_start"), Qt::LeftButton);
        QVERIFY(game().isPlaying());
        // Help's own About button and the windows' Done buttons.
        QTest::mouseClick(child<FlatButton>(&m_windows->help(), "button_about"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(&m_windows->about()));
        for (QWidget *window : opened) {
            QTest::mouseClick(child<FlatButton>(window, "button_done"), Qt::LeftButton);
            QVERIFY(window->isHidden());
        }
        // File, "Exit" closes the main window.
        action("Exit1")->trigger();
        QVERIFY(!main().isVisible());
    }

    // F1 and Ctrl+S work between games only; during a game the keys belong
    // to the board.
    void shortcutsInAndOutOfAGame()
    {
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QTest::keyClick(&main(), Qt::Key_F1);
        QVERIFY(QTest::qWaitForWindowExposed(&m_windows->help()));
        m_windows->help().hide();
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));

        QTest::keyClick(&main(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(game().isPlaying());
        QVERIFY(child(&main(), "panel_name")->isHidden());
        QTest::keyClick(&main(), Qt::Key_F1);
        QVERIFY(m_windows->help().isHidden());
        QTest::keyClick(&main(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(game().board().wordlength() <= 1, true);
        QCOMPARE(game().secondsLeft(), 180);
    }

    // A panel that is shown lies on top of the others; START GAME, File
    // "Start Game" and the panels' own buttons hide them.
    void overlayPanels()
    {
        QWidget *group = child(&main(), "panel_board1");
        QWidget *name = child(&main(), "panel_name");
        QWidget *cleared = child(&main(), "panel_cleared");
        QWidget *update = child(&main(), "panel_update");
        const QPoint overlap(250, 200); // inside all three panels
        QCOMPARE(topmostAt(group, overlap), name);

        game().startGame();
        QVERIFY(name->isHidden());
        while (game().isPlaying())
            game().tick();
        QVERIFY(!cleared->isHidden());
        QCOMPARE(topmostAt(group, overlap), cleared);

        action("ChangeName1")->trigger();
        QCOMPARE(topmostAt(group, overlap), name);
        main().showUpdateOffer();
        QCOMPARE(topmostAt(group, overlap), update);
        QTest::mouseClick(child<FlatButton>(&main(), "button_updatecancel"), Qt::LeftButton);
        QVERIFY(update->isHidden());
        QTest::mouseClick(child<FlatButton>(&main(), "button_namecancel"), Qt::LeftButton);
        QVERIFY(name->isHidden());
        QCOMPARE(topmostAt(group, overlap), cleared);

        // The wait panel covers SEND SCORE.
        QWidget *sendscore = child(&main(), "button_sendscore");
        QWidget *wait = child(&main(), "panel_wait");
        wait->show();
        QCOMPARE(cleared->childAt(sendscore->geometry().center()), wait);

        action("StartGame1")->trigger();
        QVERIFY(game().isPlaying());
        QVERIFY(cleared->isHidden());
        QVERIFY(wait->isHidden());
        while (game().isPlaying())
            game().tick();
        QTest::mouseClick(child<FlatButton>(&main(), "button_done"), Qt::LeftButton);
        QVERIFY(cleared->isHidden());
    }

    // Enlarging keeps the board group's size and moves it in proportion;
    // shrinking stops at the layout's client area.
    void enlargingAndShrinking()
    {
        QWidget *group = child(&main(), "panel_board");
        const int bar = main().menuBar()->height();
        main().resize(561 + 200, 535 + 100 + bar);
        QCoreApplication::processEvents();
        QCOMPARE(group->size(), QSize(556, 530));
        QCOMPARE(group->pos(), QPoint(2 + 100, 1 + 50));
        main().resize(561 + 400, 535 + bar);
        QCoreApplication::processEvents();
        QCOMPARE(group->pos(), QPoint(2 + 200, 1));
        main().resize(200, 100);
        QCoreApplication::processEvents();
        QCOMPARE(main().centralWidget()->size(), QSize(561, 535));
        QCOMPARE(group->pos(), QPoint(2, 1));
    }

    // The flat button: cream face, dark red border, grey caption turning red
    // under the pointer, and never the focus.
    void flatButtonLook()
    {
        auto *button = child<FlatButton>(&main(), "button_start");
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        auto inkOf = [button](const QColor &colour) {
            const QImage image = button->grab().toImage();
            // Inside the border, in the picture's own pixels.
            const int margin = qCeil(2 * image.devicePixelRatio());
            int count = 0;
            for (int y = margin; y < image.height() - margin; ++y)
                for (int x = margin; x < image.width() - margin; ++x)
                    count += image.pixelColor(x, y) == colour;
            return count;
        };
        const QImage plain = button->grab().toImage();
        QCOMPARE(plain.pixelColor(0, 0), QColor(0xA4, 0x00, 0x00));
        QCOMPARE(plain.pixelColor(3, 3), QColor(0xFF, 0xFF, 0xC6));
        QVERIFY(inkOf(QColor(0x4A, 0x4A, 0x4A)) > 20);
        QCOMPARE(inkOf(QColor(0xA4, 0x00, 0x00)), 0);
        QTest::mouseMove(button, button->rect().center());
        QEnterEvent enter(button->rect().center(), button->mapToGlobal(button->rect().center()),
                          button->mapToGlobal(button->rect().center()));
        QCoreApplication::sendEvent(button, &enter);
        QVERIFY(inkOf(QColor(0xA4, 0x00, 0x00)) > 20);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(!button->hasFocus());
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    LayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "layout_test.moc"
