#include "multiplayerform.h"

#include "artwork.h"
#include "clicklabel.h"
#include "flatbutton.h"
#include "plainwindow.h"
#include "servicehost.h"
#include "servicepaths.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QShortcut>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>

namespace {

// Two boards facing each other with their players' scores: what a game
// against another player looks like.
QPixmap multiplayerPicture()
{
    // Painted at the screen's own scale so the tiles stay sharp.
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap picture(QSize(400, 300) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(UiStyle::DarkGreen);
    QPainter painter(&picture);
    const char *words[] = {"TARVLE", "WORDS!"};
    for (int player = 0; player < 2; ++player) {
        const int left = 14 + player * 200;
        painter.fillRect(left - 4, 46, 180, 180, UiStyle::Green);
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) {
                const char letter = words[(column + row + player) % 2][(column * 4 + row) % 6];
                const int code = letter >= 'A' && letter <= 'Z' ? letter - 'A' + 1 : 29;
                painter.drawPixmap(left + column * 43, 50 + row * 43, Artwork::tile(code));
            }
        }
        painter.setPen(UiStyle::Cream);
        painter.setFont(UiStyle::timesNewRoman(19, true));
        painter.drawText(QRect(left, 10, 172, 30), Qt::AlignCenter,
                         player == 0 ? QCoreApplication::translate("Tmultiplayer", "You: 42") : QCoreApplication::translate("Tmultiplayer", "Friend: 38"));
    }
    painter.setFont(UiStyle::timesNewRoman(22, true));
    painter.drawText(QRect(0, 240, 400, 50), Qt::AlignCenter, QCoreApplication::translate("Tmultiplayer", "Play against the world!"));
    return picture;
}

} // namespace

Tmultiplayer::Tmultiplayer(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("Tmultiplayer"),
                                                tr("Tarvle Solo - Multiplayer"), QSize(569, 431), background);
    setFixedSize(569, 431);
    m_url.setAddress(ServiceHost::address() + QLatin1String(rules::servicepaths::Multiplayer));

    auto *line = new ClickLabel(tr("Try the multiplayer version of Tarvle on our web site!"), tiles);
    line->setObjectName(QStringLiteral("Label6"));
    line->setGeometry(0, 16, 563, 23);
    line->setFont(UiStyle::timesNewRoman(16, true));
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    UiStyle::setTextColor(line, UiStyle::Cream);
    connect(line, &ClickLabel::clicked, this, &Tmultiplayer::Label6Click);

    auto *learn = new ClickLabel(tr("Learn how to play against other players online."), tiles);
    learn->setObjectName(QStringLiteral("Label1"));
    learn->setGeometry(32, 48, 489, 41);
    learn->setFont(UiStyle::timesNewRoman(19, true));
    learn->setAlignment(Qt::AlignCenter);
    learn->setWordWrap(true);
    UiStyle::setTextColor(learn, UiStyle::Cream);
    connect(learn, &ClickLabel::clicked, this, &Tmultiplayer::Label6Click);

    auto *image = new ClickLabel(QString(), tiles);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(80, 96, 400, 300);
    image->setPixmap(multiplayerPicture());
    connect(image, &ClickLabel::clicked, this, &Tmultiplayer::Label6Click);

    connect(new QShortcut(QKeySequence(Qt::Key_Return), this), &QShortcut::activated, this,
            &Tmultiplayer::Label6Click);
    auto *done = new FlatButton(tr("Done"), tiles);
    done->setShortcut(QKeySequence(Qt::Key_Escape));
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(458, 403, 95, 20);
    connect(done, &FlatButton::clicked, this, &Tmultiplayer::button_doneClick);
}

void Tmultiplayer::showOver(const QWidget *window)
{
    PlainWindow::showOver(this, window, m_placed);
}

void Tmultiplayer::Label6Click()
{
    m_url.open();
}

void Tmultiplayer::button_doneClick()
{
    hide();
}
