#include "aboutform.h"
#include "application.h"
#include "session.h"
#include "artwork.h"
#include "flatbutton.h"
#include "helpform.h"
#include "multiplayerform.h"
#include "servicehost.h"

#include <QDate>
#include <QDesktopServices>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

// Receives the addresses the program hands to the web browser.
class Browser : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

// The help, about and multiplayer windows.
class InfoWindowsTest : public QObject
{
    Q_OBJECT

private:
    Browser m_browser;

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "open");
    }

    void init()
    {
        m_browser.opened.clear();
    }

    // The section buttons bring their page to the front and name it in the
    // heading; "Documentation" shows the page headed "History". Each page
    // keeps its scroll position.
    void helpSections()
    {
        Thelp help(Artwork::background());
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        auto *caption = help.findChild<QLabel *>("label_caption");
        QCOMPARE(caption->text(), QStringLiteral("Overview"));
        auto visiblePage = [&help] {
            const QPoint centre = help.findChild<QWidget *>("panel_main")->rect().center();
            QWidget *at = help.findChild<QWidget *>("panel_main")->childAt(centre);
            while (at && !qobject_cast<QTextBrowser *>(at))
                at = at->parentWidget();
            return at ? at->objectName() : QString();
        };
        QCOMPARE(visiblePage(), QStringLiteral("memo1"));

        QTest::mouseClick(help.findChild<FlatButton *>("SelButton4"), Qt::LeftButton);
        QCOMPARE(caption->text(), QStringLiteral("Scoring"));
        QCOMPARE(visiblePage(), QStringLiteral("memo4"));
        auto *scoring = help.findChild<QTextBrowser *>("memo4");
        QVERIFY(scoring->toPlainText().contains("Your score is based on how many letters are in the word as follow: "));
        QVERIFY(scoring->toPlainText().contains("12 letters"));

        QTest::mouseClick(help.findChild<FlatButton *>("SelButton5"), Qt::LeftButton);
        QCOMPARE(caption->text(), QStringLiteral("Documentation"));
        QCOMPARE(visiblePage(), QStringLiteral("memo5"));
        QVERIFY(help.findChild<QTextBrowser *>("memo5")->toPlainText().startsWith("History"));

        QTest::mouseClick(help.findChild<FlatButton *>("SelButton3"), Qt::LeftButton);
        auto *gamePlay = help.findChild<QTextBrowser *>("memo3");
        QVERIFY(gamePlay->toPlainText().contains("After three minutes, the game ends."));
        help.resize(523, 200);
        gamePlay->verticalScrollBar()->setValue(40);
        QTest::mouseClick(help.findChild<FlatButton *>("SelButton1"), Qt::LeftButton);
        QTest::mouseClick(help.findChild<FlatButton *>("SelButton3"), Qt::LeftButton);
        QCOMPARE(gamePlay->verticalScrollBar()->value(), 40);

        QCOMPARE(help.findChild<QLabel *>("label_year")->text(), QString::number(QDate::currentDate().year()));
        QTest::mouseClick(help.findChild<FlatButton *>("button_done"), Qt::LeftButton);
        QVERIFY(!help.isVisible());
    }

    // The about window reads "Version 1.0.0.2" while the version compared
    // with the service is 1.0.0; its address opens the home page.
    void aboutWindow()
    {
        Tabout about(Artwork::background(), Session::version());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.versionText(), QStringLiteral("1.0.0"));
        auto *word = about.findChild<QLabel *>("Label1");
        auto *number = about.findChild<QLabel *>("version");
        auto *build = about.findChild<QLabel *>("Label9");
        QCOMPARE(word->text() + QLatin1Char(' ') + number->text() + build->text(), QStringLiteral("Version 1.0.0.2"));
        QVERIFY(number->x() > word->geometry().right());
        // Read as one: the build number follows the version without a gap.
        QVERIFY(build->x() > number->geometry().right());
        QVERIFY(build->x() <= number->geometry().right() + 2);
        QCOMPARE(about.findChild<QLabel *>("label_year")->text(), QString::number(QDate::currentDate().year()));

        QTest::mouseClick(about.findChild<QLabel *>("Label7"), Qt::LeftButton);
        QCOMPARE(m_browser.opened, QList<QUrl>{QUrl(ServiceHost::url("/"))});
        QTest::mouseClick(about.findChild<FlatButton *>("button_done"), Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }

    // Either line or the picture of the multiplayer window opens the same page.
    void multiplayerLinks()
    {
        Tmultiplayer multiplayer(Artwork::background());
        multiplayer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&multiplayer));
        for (const char *name : {"Label6", "Label1", "Image1"})
            QTest::mouseClick(multiplayer.findChild<QLabel *>(name), Qt::LeftButton);
        const QUrl page(ServiceHost::url("/multiplayer.html"));
        QCOMPARE(m_browser.opened, (QList<QUrl>{page, page, page}));
        QTest::mouseClick(multiplayer.findChild<FlatButton *>("button_done"), Qt::LeftButton);
        QVERIFY(!multiplayer.isVisible());
    }
};

int main(int argc, char **argv)
{
    Application app(argc, argv);
    InfoWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "infowindows_test.moc"
