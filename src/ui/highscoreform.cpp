#include "highscoreform.h"

#include "artwork.h"
#include "flatbutton.h"
#include "flatpanel.h"
#include "plainwindow.h"
#include "servicehost.h"
#include "servicepaths.h"
#include "stringfetch.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QLabel>
#include <QScreen>
#include <QTextBrowser>

Thighscore::Thighscore(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_base(ServiceHost::url(QString()))
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("Thighscore"),
                                                tr("Tarvle Solo - High Scores"), QSize(603, 561), background);
    setFixedSize(603, 561);

    auto *logo = new QLabel(tiles);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(4, 8, 104, 104);
    logo->setPixmap(Artwork::bigLogo());
    UiStyle::makeLabel(tiles, QStringLiteral("Label1"), tr("Brenik Software"), UiStyle::sans(11),
                       QRect(8, 544, 120, 14));
    auto *done = new FlatButton(tr("DONE"), tiles);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(498, 521, 95, 32);
    done->setCaptionPixelSize(16);
    connect(done, &FlatButton::clicked, this, &Thighscore::button_doneClick);
    done->setShortcut(QKeySequence(Qt::Key_Escape));

    auto *panel = new FlatPanel(tiles);
    panel->setObjectName(QStringLiteral("panel_main"));
    panel->setGeometry(112, 8, 481, 507);
    panel->setFrameColor(Qt::white);
    displayhtml = new QTextBrowser(panel);
    displayhtml->setObjectName(QStringLiteral("displayhtml"));
    displayhtml->setGeometry(1, 1, 479, 505);
    displayhtml->setFrameShape(QFrame::NoFrame);
    displayhtml->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Links are reported, never followed: the viewer keeps no history.
    displayhtml->setOpenLinks(false);
    displayhtml->setTextInteractionFlags(Qt::TextBrowserInteraction);
    displayhtml->setFont(UiStyle::timesNewRoman(16));
    displayhtml->document()->setDefaultStyleSheet(QStringLiteral(
        "body { color: black; } a { color: #800000; } pre { font-family: Arial; }"));
    QPalette palette = displayhtml->palette();
    palette.setColor(QPalette::Base, UiStyle::PaleCream);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Link, UiStyle::Maroon);
    palette.setColor(QPalette::LinkVisited, QColor(0xC0, 0xC0, 0xC0));
    displayhtml->setPalette(palette);
    connect(displayhtml, &QTextBrowser::anchorClicked, this, &Thighscore::displayhtmlHotSpotClick);

    getit = new StringFetch(this);
    connect(getit, &StringFetch::doneString, this, &Thighscore::getitDoneString);
}

void Thighscore::loadit()
{
    getit->start(m_base + QLatin1String(rules::servicepaths::Scores));
}

void Thighscore::showOver(const QWidget *)
{
    // Centred on the desktop, not over the main window.
    if (!m_placed && screen()) {
        move(screen()->availableGeometry().center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void Thighscore::getitDoneString(const QString &body)
{
    displayhtml->setHtml(body);
}

void Thighscore::displayhtmlHotSpotClick(const QUrl &link)
{
    const QString target = link.toString();
    if (target.startsWith(QLatin1Char('#'))) {
        displayhtml->scrollToAnchor(target.mid(1));
        return;
    }
    // Handed over exactly as the page gives it.
    URL1.setAddress(target);
    URL1.open();
}

void Thighscore::button_doneClick()
{
    hide();
}
