#include "aboutform.h"

#include "artwork.h"
#include "clicklabel.h"
#include "flatbutton.h"
#include "plainwindow.h"
#include "servicehost.h"
#include "servicepaths.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QShortcut>
#include <QDate>
#include <QLabel>

Tabout::Tabout(const QPixmap &background, const QString &version, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("Tabout"), tr("Tarvle Solo - About"),
                                                QSize(304, 193), background);
    setFixedSize(304, 193);
    m_url.setAddress(ServiceHost::address() + QLatin1String(rules::servicepaths::Home));

    auto *logo = new QLabel(tiles);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(42, 10, 206, 49);
    logo->setPixmap(Artwork::aboutLogo());

    QFont linkFont = UiStyle::sans(16, true);
    linkFont.setUnderline(true);
    auto *link = new ClickLabel(ServiceHost::address(), tiles);
    link->setObjectName(QStringLiteral("Label7"));
    link->setFont(linkFont);
    link->setGeometry(8, 72, 289, 20);
    link->setAlignment(Qt::AlignCenter);
    UiStyle::setTextColor(link, UiStyle::Cream);
    connect(link, &ClickLabel::clicked, this, &Tabout::Label7Click);

    const QFont times = UiStyle::timesNewRoman(13, true);
    UiStyle::makeLabel(tiles, QStringLiteral("Label2"), tr("Tarvle Solo, a word game against the clock."),
                       UiStyle::sans(11), QRect(8, 98, 289, 16), Qt::AlignCenter);
    UiStyle::makeLabel(tiles, QStringLiteral("Label3"), tr("Word list from the word-list package (MIT licence)."),
                       UiStyle::sans(11), QRect(8, 116, 289, 16), Qt::AlignCenter);
    UiStyle::makeLabel(tiles, QStringLiteral("Label4"), tr("Copyright"), times, QRect(40, 138, 66, 16),
                       Qt::AlignRight | Qt::AlignVCenter);
    auto *year = UiStyle::makeLabel(tiles, QStringLiteral("label_year"), QString::number(QDate::currentDate().year()),
                                    times, QRect(108, 138, 40, 16));
    year->adjustSize();
    UiStyle::makeLabel(tiles, QStringLiteral("Label5"), tr("Brenik Software"), times,
                       QRect(148, 138, 140, 16));
    UiStyle::makeLabel(tiles, QStringLiteral("Label1"), tr("Version"), times, QRect(48, 171, 48, 16))
        ->adjustSize();
    m_version = UiStyle::makeLabel(tiles, QStringLiteral("version"), version, times, QRect(96, 171, 27, 16));
    m_version->adjustSize();
    UiStyle::setTextColor(m_version, UiStyle::ButtonBorder);
    auto *build = UiStyle::makeLabel(tiles, QStringLiteral("Label9"), QStringLiteral(".2"), times,
                                     QRect(qMax(123, m_version->geometry().right() + 1), 171, 16, 16));
    build->adjustSize();
    UiStyle::setTextColor(build, UiStyle::ButtonBorder);

    auto *done = new FlatButton(tr("Done"), tiles);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(202, 165, 95, 20);
    connect(done, &FlatButton::clicked, this, &Tabout::button_doneClick);
    // The keyboard's way to the buttons and the link, which take no focus.
    done->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(new QShortcut(QKeySequence(Qt::Key_Return), this), &QShortcut::activated, this, &Tabout::Label7Click);
}

QString Tabout::versionText() const
{
    return m_version->text();
}

void Tabout::showOver(const QWidget *window)
{
    PlainWindow::showOver(this, window, m_placed);
}

void Tabout::Label7Click()
{
    m_url.open();
}

void Tabout::button_doneClick()
{
    hide();
}
