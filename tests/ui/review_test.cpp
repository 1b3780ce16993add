#include "application.h"
#include "boardcode.h"
#include "boardcodeform.h"
#include "dailyboard.h"
#include "dealdice.h"
#include "flatbutton.h"
#include "lettercodes.h"
#include "gamewindows.h"
#include "reviewboardview.h"
#include "reviewform.h"
#include "session.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

// The board of TARVLE42 holds 1,148 words worth 5,871 points; these four
// are among them, worth 10 points, and "don" is its commonest word after "and".
// Its L reads as 1, so the review writes it TARV1E42.
constexpr const char *Code = "TARVLE42";
constexpr const char *Shown = "TARV1E42";
const QStringList Played{"and", "come", "good", "sure"};

} // namespace

class ReviewTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_working;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<GameWindows> m_windows;

    Tmain &main() { return m_windows->main; }
    Game &game() { return main().game(); }
    Treview &review() { return m_windows->review(); }
    Tboardcode &dialog() { return m_windows->boardcode(); }

    template<typename T = QWidget> T *child(QWidget *window, const char *name)
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("%s has no %s", qPrintable(window->objectName()), name);
        return widget;
    }

    QAction *action(const char *name) { return main().menuBar()->findChild<QAction *>(QString::fromLatin1(name)); }
    QTreeWidget *list() { return child<QTreeWidget>(&review(), "list_words"); }
    QString totalGames() { return m_session->tally().counterText(Counter::TotalGames); }

    // Types a code into the dialog the menu opened and presses Enter.
    void enterCode(const QString &code)
    {
        auto *edit = child<QLineEdit>(&dialog(), "edit_code");
        edit->clear();
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    void playTheCode()
    {
        action("PlayBoardCode1")->trigger();
        QVERIFY(dialog().isVisible());
        enterCode(QString::fromLatin1(Code));
        QVERIFY(!dialog().isVisible());
        QVERIFY(game().isPlaying());
    }

    // Types the words on the main window's keyboard, each sent with Enter.
    void typeWords(const QStringList &words)
    {
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        for (const QString &word : words) {
            QTest::keyClicks(&main(), word);
            QTest::keyClick(&main(), Qt::Key_Return);
        }
    }

    void runOut()
    {
        while (game().isPlaying())
            game().tick();
    }

    // The row of a word in the list, or -1.
    int rowOf(const QString &word)
    {
        for (int row = 0; row < list()->topLevelItemCount(); ++row) {
            if (list()->topLevelItem(row)->text(0) == word)
                return row;
        }
        return -1;
    }

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
        child<FlatButton>(&main(), "button_namecancel")->click();
    }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        m_windows.reset();
        m_session.reset();
    }

    // Board Review can be chosen only once a game has ended, until the next
    // one starts; playing a code or today's board is always on offer.
    void reviewOnlyBetweenGames()
    {
        auto *reviewButton = child<FlatButton>(&main(), "button_review");
        QVERIFY(!action("BoardReview1")->isEnabled());
        QVERIFY(!reviewButton->isEnabled());
        QVERIFY(action("PlayBoardCode1")->isEnabled());
        QVERIFY(action("PlayTodaysBoard1")->isEnabled());
        action("BoardReview1")->trigger();
        QVERIFY(review().isHidden());

        action("StartGame1")->trigger();
        QVERIFY(!action("BoardReview1")->isEnabled());
        runOut();
        QVERIFY(action("BoardReview1")->isEnabled());
        QVERIFY(reviewButton->isEnabled());
        QVERIFY(reviewButton->isVisible());
        QCOMPARE(reviewButton->text(), QStringLiteral("REVIEW"));

        action("BoardReview1")->trigger();
        QVERIFY(review().isVisible());
        child<FlatButton>(&review(), "button_done")->click();
        QVERIFY(review().isHidden());
        // The last game's review stays until the next game.
        QTest::mouseClick(reviewButton, Qt::LeftButton);
        QVERIFY(review().isVisible());

        QTest::mouseClick(child<FlatButton>(&main(), "button_start"), Qt::LeftButton);
        QVERIFY(game().isPlaying());
        QVERIFY(review().isHidden());
        QVERIFY(!action("BoardReview1")->isEnabled());
        QVERIFY(!reviewButton->isEnabled());
        QCOMPARE(game().review(), nullptr);
    }

    // A text that is no code is refused on the dialog's line: no game, no
    // tally, the dialog stays; typing again takes the line away.
    void badCodeIsRefused()
    {
        action("PlayBoardCode1")->trigger();
        QVERIFY(dialog().isVisible());
        QCOMPARE(dialog().windowTitle(), QStringLiteral("Tarvle Solo - Play Board Code"));
        auto *error = child<QLabel>(&dialog(), "label_error");
        QVERIFY(error->text().isEmpty());

        enterCode(QStringLiteral("ABCDEFGU"));
        QCOMPARE(error->text(), QStringLiteral("'U' is not a board code character (a code uses 0-9 and A-Z, but not U)."));
        QVERIFY(dialog().isVisible());
        QVERIFY(!game().isPlaying());
        QCOMPARE(totalGames(), QStringLiteral("0"));

        enterCode(QStringLiteral("ABC"));
        QCOMPARE(error->text(), QStringLiteral("A board code has 8 characters; this one has 3."));
        enterCode(QString::fromUtf8("ABCD\u00c9FGH"));
        QCOMPARE(error->text(),
                 QStringLiteral("Character 5 is not a board code character (a code uses 0-9 and A-Z, but not U)."));
        QTest::keyClick(child<QLineEdit>(&dialog(), "edit_code"), Qt::Key_A);
        QVERIFY(error->text().isEmpty());

        child<FlatButton>(&dialog(), "button_cancel")->click();
        QVERIFY(!dialog().isVisible());
        QVERIFY(!game().isPlaying());
        QCOMPARE(totalGames(), QStringLiteral("0"));
        QVERIFY(game().board().boardletters(0, 0) == 29);
    }

    // A good code, typed in lower case with spaces around it, starts an
    // ordinary game on its board; the dialog opens empty the next time.
    void goodCodePlaysItsBoard()
    {
        action("PlayBoardCode1")->trigger();
        enterCode(QStringLiteral("  tarvle42 "));
        QVERIFY(!dialog().isVisible());
        QVERIFY(game().isPlaying());
        QCOMPARE(game().boardSeed(), rules::readBoardCode(Code).seed);
        QCOMPARE(game().board().letters(), rules::dealFromSeed(*rules::readBoardCode(Code).seed));
        QCOMPARE(game().secondsLeft(), 180);
        QCOMPARE(totalGames(), QStringLiteral("1"));
        runOut();
        QVERIFY(child<QWidget>(&main(), "panel_cleared")->isVisible());

        action("PlayBoardCode1")->trigger();
        QVERIFY(child<QLineEdit>(&dialog(), "edit_code")->text().isEmpty());
        enterCode(QStringLiteral("00000001"));
        QCOMPARE(game().boardSeed(), rules::Seed(1));
        QVERIFY(child<QWidget>(&main(), "panel_cleared")->isHidden());
        QCOMPARE(totalGames(), QStringLiteral("2"));
    }

    // Today's board is the day's seed in UTC.
    void todaysBoard()
    {
        const rules::Seed before = rules::dailySeed(rules::utcToday());
        action("PlayTodaysBoard1")->trigger();
        const rules::Seed after = rules::dailySeed(rules::utcToday());
        QVERIFY(game().isPlaying());
        QVERIFY(game().boardSeed() == before || game().boardSeed() == after);
        QCOMPARE(totalGames(), QStringLiteral("1"));
    }

    // After a game of four words: the code, the summary, the missed words
    // commonest first, every word with the found ones marked, and the count
    // per length.
    void reviewAfterAScriptedGame()
    {
        playTheCode();
        typeWords(Played + QStringList{"xqzt"});
        QCOMPARE(game().foundCount(), 4);
        runOut();
        QTest::mouseClick(child<FlatButton>(&main(), "button_review"), Qt::LeftButton);
        QVERIFY(review().isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&review()));
        // The main board stays as it was, to see where the words lie.
        QVERIFY(child<QWidget>(&main(), "paintbox_board")->isVisible());

        auto *code = child<QLineEdit>(&review(), "edit_code");
        QCOMPARE(code->text(), QString::fromLatin1(Shown));
        QVERIFY(code->isReadOnly());
        code->selectAll();
        QCOMPARE(code->selectedText(), QString::fromLatin1(Shown));
        QCOMPARE(child<QLabel>(&review(), "label_summary")->text(),
                 QStringLiteral("You found 4 of 1,148 words and 10 of 5,871 points (0.2 %)"));

        // Missed words first, commonest first.
        QCOMPARE(child<QComboBox>(&review(), "combo_show")->currentText(), QStringLiteral("Missed words"));
        QCOMPARE(child<QComboBox>(&review(), "combo_order")->currentText(), QStringLiteral("Most common first"));
        QCOMPARE(list()->topLevelItemCount(), 1148 - 4);
        QCOMPARE(list()->topLevelItem(0)->text(0), QStringLiteral("DON"));
        QCOMPARE(list()->topLevelItem(0)->text(2), QStringLiteral("1"));
        for (const QString &word : Played)
            QCOMPARE(rowOf(word.toUpper()), -1);

        // Every word, the found ones marked.
        child<QComboBox>(&review(), "combo_show")->setCurrentIndex(1);
        QCOMPARE(list()->topLevelItemCount(), 1148);
        int marked = 0;
        for (int row = 0; row < list()->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = list()->topLevelItem(row);
            const bool found = Played.contains(item->text(0).toLower());
            QCOMPARE(item->text(3), found ? QStringLiteral("found") : QString());
            QCOMPARE(item->text(1).toInt(), item->text(0).size());
            marked += found;
        }
        QCOMPARE(marked, 4);
        QCOMPARE(list()->topLevelItem(rowOf("COME"))->text(2), QStringLiteral("3"));

        int words = 0;
        int foundWords = 0;
        for (int letters = 3; letters <= 12; ++letters) {
            words += child<QLabel>(&review(), QByteArray("label_words" + QByteArray::number(letters)).constData())
                         ->text()
                         .toInt();
            foundWords += child<QLabel>(&review(), QByteArray("label_found" + QByteArray::number(letters)).constData())
                              ->text()
                              .toInt();
        }
        QCOMPARE(words, 1148);
        QCOMPARE(foundWords, 4);
        QCOMPARE(child<QLabel>(&review(), "label_found3")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(&review(), "label_found4")->text(), QStringLiteral("3"));
    }

    // Choosing a word with the arrow keys draws its path on the small board,
    // the first letter framed red; Enter shows the path of the current word.
    void selectedWordShowsItsPath()
    {
        playTheCode();
        typeWords(Played);
        runOut();
        action("BoardReview1")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&review()));
        auto *board = child<ReviewBoardView>(&review(), "paintbox_review");
        child<QComboBox>(&review(), "combo_order")->setCurrentIndex(5); // A to Z
        child<QComboBox>(&review(), "combo_show")->setCurrentIndex(1);  // every word

        board->setPath({});
        const QImage plain = board->grab().toImage();
        // "come" lies at 1,1 0,2 0,3 0,4; the row before it, then one Down.
        const int row = rowOf("COME");
        QVERIFY(row > 0);
        list()->setFocus();
        list()->setCurrentItem(list()->topLevelItem(row - 1));
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(list()->currentItem()->text(0), QStringLiteral("COME"));
        const std::vector<rules::Cell> come{{1, 1}, {0, 2}, {0, 3}, {0, 4}};
        QCOMPARE(board->path(), come);
        QCOMPARE(child<QLabel>(&review(), "label_path")->text(),
                 QStringLiteral("COME: 3 points, found.\nStarts at column 2, row 2."));
        QCOMPARE(board->accessibleDescription(),
                 QStringLiteral("Path of COME: C at column 2, row 2; O at column 1, row 3; "
                                "M at column 1, row 4; E at column 1, row 5"));

        // Drawn: the path's cells change and no other cell's inside does; the
        // first cell alone turns red at its frame.
        const QImage drawn = board->grab().toImage();
        const qreal ratio = drawn.devicePixelRatio();
        const auto newlyRed = [&](int column, int row) {
            int count = 0;
            int changed = 0;
            const int size = ReviewBoardView::TileSize;
            for (int y = row * size + 3; y < (row + 1) * size - 3; ++y) {
                for (int x = column * size + 3; x < (column + 1) * size - 3; ++x) {
                    const QColor before = plain.pixelColor(qRound(x * ratio), qRound(y * ratio));
                    const QColor after = drawn.pixelColor(qRound(x * ratio), qRound(y * ratio));
                    const auto red = [](const QColor &c) { return c.red() > 120 && c.green() < 60 && c.blue() < 60; };
                    changed += before != after;
                    // The letters are red already: only what turned red counts.
                    count += !red(before) && red(after);
                }
            }
            return std::pair{changed, count};
        };
        for (int column = 0; column < 8; ++column) {
            for (int r = 0; r < 8; ++r) {
                const bool onPath = std::find(come.begin(), come.end(), rules::Cell{column, r}) != come.end();
                const auto [changed, red] = newlyRed(column, r);
                QVERIFY2(onPath == (changed > 0), qPrintable(QStringLiteral("cell %1,%2").arg(column).arg(r)));
                if (rules::Cell{column, r} == come.front())
                    QVERIFY2(red > 20, qPrintable(QString::number(red)));
                else
                    QVERIFY2(red < 5, qPrintable(QStringLiteral("cell %1,%2: %3").arg(column).arg(r).arg(red)));
            }
        }

        // Enter on another word shows its path.
        board->setPath({});
        QTest::keyClick(list(), Qt::Key_Down);
        board->setPath({});
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(review().shownEntry(), list()->currentItem()->data(0, Qt::UserRole).toInt());
        QCOMPARE(board->path(), game().review()->entries()[std::size_t(review().shownEntry())].path);
        QVERIFY(!board->path().empty());

        // Escape puts the window away.
        QTest::keyClick(list(), Qt::Key_Escape);
        QVERIFY(review().isHidden());
    }

    // The small board reads as the game's board does: a table of 64 cells
    // named by their letters, the shown word's cells selected in path order.
    void smallBoardReadsAsATable()
    {
        playTheCode();
        typeWords(Played);
        runOut();
        action("BoardReview1")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&review()));
        auto *board = child<ReviewBoardView>(&review(), "paintbox_review");
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(board);
        QVERIFY(reader);
        QCOMPARE(reader->role(), QAccessible::Table);
        QCOMPARE(reader->childCount(), 64);
        QAccessibleTableInterface *table = reader->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 8);
        QCOMPARE(table->columnCount(), 8);

        const rules::Letters &letters = game().review()->letters();
        QString dealt;
        QString read;
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                dealt += QChar(QLatin1Char(rules::letterChar(letters[std::size_t(rules::cellIndex(column, row))])))
                             .toUpper();
                read += table->cellAt(row, column)->text(QAccessible::Name);
            }
        }
        QCOMPARE(read, dealt);
        QCOMPARE(reader->child(8 * 2 + 4)->text(QAccessible::Description), QStringLiteral("row 3, column 5"));

        const std::vector<rules::Cell> come{{1, 1}, {0, 2}, {0, 3}, {0, 4}};
        board->setPath(come);
        QCOMPARE(table->selectedCellCount(), 4);
        QString path;
        for (QAccessibleInterface *cell : table->selectedCells())
            path += cell->text(QAccessible::Name);
        QCOMPARE(path, QStringLiteral("COME"));
        QAccessibleInterface *start = table->cellAt(1, 1);
        QVERIFY(start->state().selected);
        QCOMPARE(start->text(QAccessible::Description), QStringLiteral("row 2, column 2; letter 1 of 4 of the word"));
        QVERIFY(!table->cellAt(0, 0)->state().selected);

        board->setPath({});
        QCOMPARE(table->selectedCellCount(), 0);
        QCOMPARE(start->text(QAccessible::Description), QStringLiteral("row 2, column 2"));
    }

    // The orders: by points or length from the list or from the headers.
    void ordersByPointsAndLength()
    {
        playTheCode();
        runOut();
        action("BoardReview1")->trigger();
        auto *order = child<QComboBox>(&review(), "combo_order");
        const auto points = [this](int row) { return list()->topLevelItem(row)->text(2).toInt(); };
        const int last = list()->topLevelItemCount() - 1;

        order->setCurrentIndex(1); // most points first
        QVERIFY(points(0) >= points(1));
        QVERIFY(points(0) > points(last));
        order->setCurrentIndex(2); // fewest points first
        QCOMPARE(points(0), 1);
        QVERIFY(points(last) > 1);

        QHeaderView *header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(order->currentText(), QStringLiteral("Longest first"));
        QVERIFY(list()->topLevelItem(0)->text(1).toInt() >= list()->topLevelItem(last)->text(1).toInt());
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(order->currentText(), QStringLiteral("Shortest first"));
        QCOMPARE(list()->topLevelItem(0)->text(1), QStringLiteral("3"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        QCOMPARE(order->currentText(), QStringLiteral("Most points first"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(order->currentText(), QStringLiteral("A to Z"));
        QVERIFY(list()->topLevelItem(0)->text(0) < list()->topLevelItem(1)->text(0));
    }

    // The texts are plain widgets that a screen reader reads as they are.
    void textsReachAScreenReader()
    {
        playTheCode();
        runOut();
        action("BoardReview1")->trigger();
        for (const char *name : {"label_summary", "label_path", "label_words3"}) {
            auto *label = child<QLabel>(&review(), name);
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(label);
            QVERIFY(reader);
            QCOMPARE(reader->text(QAccessible::Name), label->text());
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(child(&review(), "edit_code"))->text(QAccessible::Value),
                 QString::fromLatin1(Shown));
        QCOMPARE(QAccessible::queryAccessibleInterface(list())->text(QAccessible::Name),
                 QStringLiteral("Words on the board"));
        // The keyboard starts in the list.
        QCOMPARE(review().focusWidget(), list());
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    ReviewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "review_test.moc"
