#include "helpform.h"

#include "flatbutton.h"
#include "flatpanel.h"
#include "plainwindow.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QDate>
#include <QLabel>
#include <QTextBrowser>

namespace {

constexpr int SideWidth = 137;

const char *overviewPage = R"(<h3>Overview</h3>
<p>Tarvle Solo is a word game for one player. You get a board of 64 letter tiles and three
minutes to make as many words as you can find in them.</p>
<p>Every word is checked against a list of English words built into the game; longer words
score more. Your games are kept in your tally list, and you can post your best scores to
the online high score list.</p>)";

const char *gamePlayPage = R"(<h3>Game Play</h3>
<p>Press START GAME to deal a new board and start the clock.</p>
<p><b>Click Letters Method:</b> click the letters of a word one by one, then press the DONE
button or click the right mouse button to send the word.</p>
<p><b>Dragging Method:</b> hold the mouse button down and drag over the letters; releasing
the button sends the word. Choose the method in the Options menu.</p>
<p>You can also type the word and send it with the ENTER key.</p>
<p>Each letter of a word must touch the letter tile before it horizontally, vertically or
diagonally, and a tile can be used only once in a word.</p>
<p>CLEAR or the 1 key clears the current word. Selecting the last letter of the word (or
Backspace when typing) removes it.</p>
<p>ROTATE or the 0 key rotates the board a quarter turn.</p>
<p>The longer the word, the more points.</p>
<p>After three minutes, the game ends.</p>)";

const char *scoringPage = R"(<h3>Scoring</h3>
<p>Your score is based on how many letters are in the word as follow: </p>
<table cellpadding="2">
<tr><td>3 letters</td><td align="right">1 point</td></tr>
<tr><td>4 letters</td><td align="right">3 points</td></tr>
<tr><td>5 letters</td><td align="right">6 points</td></tr>
<tr><td>6 letters</td><td align="right">9 points</td></tr>
<tr><td>7 letters</td><td align="right">11 points</td></tr>
<tr><td>8 letters</td><td align="right">13 points</td></tr>
<tr><td>9 letters</td><td align="right">16 points</td></tr>
<tr><td>10 letters</td><td align="right">19 points</td></tr>
<tr><td>11 letters</td><td align="right">22 points</td></tr>
<tr><td>12 letters</td><td align="right">30 points</td></tr>
</table>
<p>A word you have already tried in a game scores nothing the second time.</p>)";

const char *historyPage = R"(<h3>History</h3>
<p>1.0.0.2 (2026-12-07): typed words find their way across the board; tally list, settings
and sound cues.</p>
<p>1.0.0.1 (2026-12-07): the first playable game.</p>)";

} // namespace

Thelp::Thelp(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("Thelp"), tr("Tarvle Solo - Help File"),
                                                QSize(523, 431), background);

    panel_side = new FlatPanel(tiles);
    panel_side->setObjectName(QStringLiteral("panel_side"));
    panel_side->setTransparent(true);
    panel_side->setFrameColor(Qt::black);
    const struct {
        const char *name;
        const char *caption;
        int number;
        int top;
    } sections[] = {
        {"SelButton1", "Overview", 1, 8},
        {"SelButton3", "Game Play", 3, 32},
        {"SelButton4", "Scoring", 4, 56},
        {"SelButton5", "Documentation", 5, 80},
    };
    for (const auto &section : sections) {
        auto *button = new FlatButton(QString::fromLatin1(section.caption), panel_side);
        button->setObjectName(QString::fromLatin1(section.name));
        button->setGeometry(7, section.top, 122, 20);
        button->setNumber(section.number);
        button->setCaptionAlignment(Qt::AlignLeft);
        connect(button, &FlatButton::clicked, this, [this, button] { SelButton1Click(button); });
        // The sections by their numbers, from the keyboard.
        button->setShortcut(QKeySequence(Qt::Key_0 + section.number));
    }
    auto *about = new FlatButton(tr("About"), panel_side);
    about->setObjectName(QStringLiteral("button_about"));
    about->setGeometry(7, 152, 122, 20);
    about->setCaptionAlignment(Qt::AlignLeft);
    connect(about, &FlatButton::clicked, this, &Thelp::aboutRequested);
    about->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));

    const QFont small = UiStyle::sans(11);
    UiStyle::makeLabel(panel_side, QStringLiteral("Label1"), QStringLiteral("Tarvle Solo"), small, QRect(12, 336, 120, 14));
    UiStyle::makeLabel(panel_side, QStringLiteral("Label2"), tr("Brenik Software"), small,
                       QRect(12, 352, 120, 14));
    UiStyle::makeLabel(panel_side, QStringLiteral("Label3"), tr("Copyright"), small, QRect(12, 368, 86, 14));
    UiStyle::makeLabel(panel_side, QStringLiteral("label_year"), QString::number(QDate::currentDate().year()), small,
                       QRect(100, 368, 34, 14));
    UiStyle::makeLabel(panel_side, QStringLiteral("Label4"), tr("All rights reserved."), small,
                       QRect(12, 384, 122, 14));
    auto *done = new FlatButton(tr("Done"), panel_side);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(18, 404, 95, 20);
    connect(done, &FlatButton::clicked, this, &Thelp::button_doneClick);
    done->setShortcut(QKeySequence(Qt::Key_Escape));

    panel_main = new FlatPanel(tiles);
    panel_main->setObjectName(QStringLiteral("panel_main"));
    panel_main->setTransparent(true);
    panel_main->setFrameColor(Qt::black);
    label_caption = UiStyle::makeLabel(panel_main, QStringLiteral("label_caption"), QStringLiteral("Overview"),
                                       UiStyle::sans(16, true), QRect(1, 1, 384, 20), Qt::AlignCenter);
    makePage(5, QString::fromUtf8(historyPage));
    makePage(4, QString::fromUtf8(scoringPage));
    makePage(3, QString::fromUtf8(gamePlayPage));
    makePage(1, QString::fromUtf8(overviewPage))->raise();
    resize(523, 431);
}

QTextBrowser *Thelp::makePage(int number, const QString &html)
{
    auto *page = new QTextBrowser(panel_main);
    page->setObjectName(QStringLiteral("memo%1").arg(number));
    page->setFrameShape(QFrame::NoFrame);
    page->setFocusPolicy(Qt::NoFocus);
    page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->document()->setDocumentMargin(5);
    page->setFont(UiStyle::arial(11));
    QPalette palette = page->palette();
    palette.setColor(QPalette::Base, UiStyle::PaleCream);
    palette.setColor(QPalette::Text, Qt::black);
    page->setPalette(palette);
    page->setHtml(html);
    m_pages[number] = page;
    return page;
}

void Thelp::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!panel_side)
        return;
    // The side bar keeps its width; the page area takes the rest.
    panel_side->setGeometry(0, 0, SideWidth, height());
    panel_main->setGeometry(SideWidth, 0, width() - SideWidth, height());
    label_caption->setGeometry(1, 1, panel_main->width() - 2, 20);
    for (QTextBrowser *page : m_pages) {
        if (page)
            page->setGeometry(1, 21, panel_main->width() - 2, panel_main->height() - 22);
    }
}

void Thelp::showOver(const QWidget *window)
{
    PlainWindow::showOver(this, window, m_placed);
}

void Thelp::SelButton1Click(FlatButton *button)
{
    QTextBrowser *page = findChild<QTextBrowser *>(QStringLiteral("memo%1").arg(button->number()));
    if (!page)
        return;
    page->raise();
    label_caption->setText(button->text());
}

void Thelp::button_doneClick()
{
    hide();
}
