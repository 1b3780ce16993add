#include "application.h"
#include "flatbutton.h"
#include "gametestsupport.h"
#include "gamewindows.h"
#include "messageboxes.h"
#include "session.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QColor cream(0xFF, 0xFF, 0xC6);
const QColor highlight(0xE8, 0xE8, 0xE1);

} // namespace

// The tally list window with the real main window: records kept at the
// moments of a game, its look, the reset, and its file between runs.
class TallyListTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    GameRecorder m_sound;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<GameWindows> m_windows;
    Tmain *m_window = nullptr;
    Ttallylist *m_tally = nullptr;

    QString tallyPath() const { return QDir(m_folder->path()).filePath("tarvlesolotally.tld"); }

    void open()
    {
        m_session = std::make_unique<Session>(Session::Paths{m_folder->path(), m_folder->path(), {}}, &m_sound);
        // Nothing answers here: the update check at the first showing finds nothing.
        m_session->update().setServiceBase(QStringLiteral("http://127.0.0.1:1"));
        m_windows = std::make_unique<GameWindows>(*m_session);
        m_window = &m_windows->main;
        m_tally = &m_windows->tallylist();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void closeAll()
    {
        m_window->close();
        m_windows.reset();
        m_session.reset();
    }

    QLabel *label(const QString &name) { return m_tally->findChild<QLabel *>(name); }
    QString text(const QString &name) { return label(name)->text(); }

    void playGame(const char *word) { playWordGame(m_window->game(), word); }

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        m_windows.reset();
        m_session.reset();
    }

    // A first start shows zero counters, ranks 1. to 10. and blank rows; the
    // View menu shows the window without blocking the main one.
    void firstStart()
    {
        open();
        for (int counter = 1; counter <= 4; ++counter)
            QCOMPARE(text(QStringLiteral("mylabel_%1").arg(counter)), QStringLiteral("0"));
        for (int row = 1; row <= 10; ++row) {
            QCOMPARE(text(QStringLiteral("label_num%1").arg(row)), QStringLiteral("%1.").arg(row));
            QVERIFY(text(QStringLiteral("label_date%1").arg(row)).isEmpty());
            QVERIFY(text(QStringLiteral("label_high%1").arg(row)).isEmpty());
            QVERIFY(label(QStringLiteral("label_num%1").arg(row))->font().bold());
        }
        QCOMPARE(m_tally->windowTitle(), QStringLiteral("Tarvle Solo - Tally List"));
        QVERIFY(!m_tally->isVisible());
        m_window->findChild<QAction *>("TallyList1")->trigger();
        QVERIFY(m_tally->isVisible());
        QVERIFY(!m_tally->isModal());
        QTest::mouseClick(m_tally->findChild<FlatButton *>("button_done"), Qt::LeftButton);
        QVERIFY(!m_tally->isVisible());
    }

    // A game counts when it starts, each accepted word counts, and the end
    // enters the score: the new row stands out, the others turn plain.
    void gamesAreRecorded()
    {
        open();
        playGame("cat");
        QCOMPARE(text("mylabel_1"), QStringLiteral("1"));
        QCOMPARE(text("mylabel_2"), QStringLiteral("1"));
        QCOMPARE(text("mylabel_3"), QStringLiteral("1"));
        QCOMPARE(text("mylabel_4"), QStringLiteral("1"));
        playGame("");
        QCOMPARE(text("mylabel_1"), QStringLiteral("2"));
        QCOMPARE(text("mylabel_4"), QStringLiteral("0"));
        QCOMPARE(text("label_high1"), QStringLiteral("1"));
        QCOMPARE(text("label_high2"), QStringLiteral("0"));
        QCOMPARE(text("label_name2"), QStringLiteral("Guest"));
        QCOMPARE(label("label_date2")->palette().color(QPalette::WindowText), highlight);
        QVERIFY(label("label_high2")->font().bold());
        QCOMPARE(label("label_high1")->palette().color(QPalette::WindowText), cream);
        QVERIFY(!label("label_high1")->font().bold());
        QVERIFY(!label("label_num5")->font().bold());
    }

    // Names are shown as the characters they are, never as markup: in the
    // greeting and in the records.
    void namesAreShownAsPlainText()
    {
        open();
        const QString name = QStringLiteral("<b>Bob</b>");
        m_window->findChild<QLineEdit *>("edit_name")->setText(name);
        playGame("");
        auto *greeting = m_window->findChild<QLabel *>("label_name");
        QCOMPARE(greeting->text(), QStringLiteral("Good Luck <b>Bob</b>"));
        QCOMPARE(greeting->textFormat(), Qt::PlainText);
        QCOMPARE(text("label_name1"), name);
        QCOMPARE(label("label_name1")->textFormat(), Qt::PlainText);
    }

    // RESET TALLY asks first; No, Escape or closing the box change nothing;
    // Yes clears counters and rows at once, all plain, and the file keeps
    // the old tally until the program ends.
    void resetAsksFirst()
    {
        open();
        playGame("cats");
        closeAll();
        QFile file(tallyPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        file.close();

        open();
        QCOMPARE(text("mylabel_3"), QStringLiteral("3"));
        for (MessageBoxes::Answer answer : {MessageBoxes::Answer::No, MessageBoxes::Answer::Escape}) {
            MessageBoxes box(answer);
            m_tally->button_resetClick();
            QCOMPARE(box.texts(), QStringList{"Are you sure you want to reset the Tally?"});
            QCOMPARE(text("mylabel_3"), QStringLiteral("3"));
            QCOMPARE(text("label_high1"), QStringLiteral("3"));
        }
        MessageBoxes yes(MessageBoxes::Answer::Default); // Yes is the default button
        QTest::mouseClick(m_tally->findChild<FlatButton *>("button_reset"), Qt::LeftButton);
        for (int counter = 1; counter <= 4; ++counter)
            QCOMPARE(text(QStringLiteral("mylabel_%1").arg(counter)), QStringLiteral("0"));
        QVERIFY(text("label_high1").isEmpty());
        QVERIFY(!label("label_num1")->font().bold());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), saved);
        file.close();

        closeAll();
        open();
        QCOMPARE(text("mylabel_1"), QStringLiteral("0"));
    }

    // An unreadable tally file is reported at start, the game goes on with
    // an empty tally, and the save at exit keeps the old file as .bad.
    void damagedFileIsKept()
    {
        QFile file(tallyPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("WRZL\x10\x00\x00\x00garbage", 16);
        file.close();
        {
            MessageBoxes ok;
            open();
            QCOMPARE(ok.texts().size(), 1);
            QVERIFY(ok.texts().first().startsWith("Lzrw1"));
        }
        playGame("cat");
        closeAll();
        QFile bad(tallyPath() + ".bad");
        QVERIFY(bad.open(QIODevice::ReadOnly));
        QCOMPARE(bad.readAll(), QByteArray("WRZL\x10\x00\x00\x00garbage", 16));
        open();
        QCOMPARE(text("mylabel_1"), QStringLiteral("1"));
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    TallyListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tallylist_test.moc"
