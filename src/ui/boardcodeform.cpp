#include "boardcodeform.h"

#include "flatbutton.h"
#include "flatpanel.h"
#include "tiledbackground.h"
#include "plainwindow.h"
#include "uistyle.h"

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr QSize ClientSize{329, 161};
// Room for a code pasted with spaces around it, which are dropped.
constexpr int LongestText = 24;

} // namespace

Tboardcode::Tboardcode(const QPixmap &background, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("Tboardcode"),
                                                tr("Tarvle Solo - Play Board Code"), ClientSize, background);
    setFixedSize(ClientSize);
    setModal(true);
    setFont(UiStyle::sans(11));

    auto *panel = new FlatPanel(this);
    panel->setObjectName(QStringLiteral("panel_code"));
    panel->setGeometry(QRect(QPoint(0, 0), ClientSize));
    panel->setTransparent(true);
    tiles->lower();

    QLabel *caption = UiStyle::makeLabel(panel, QStringLiteral("Label1"), tr("ENTER A BOARD CODE"),
                                         UiStyle::sans(19, true), QRect(0, 10, 329, 24), Qt::AlignCenter);
    edit_code = new QLineEdit(panel);
    edit_code->setObjectName(QStringLiteral("edit_code"));
    edit_code->setGeometry(84, 42, 161, 32);
    edit_code->setFont(UiStyle::sans(19));
    edit_code->setMaxLength(LongestText);
    edit_code->setAlignment(Qt::AlignCenter);
    edit_code->setStyleSheet(QStringLiteral("QLineEdit { background: #FFFFE6; color: black; }"));
    edit_code->setAccessibleName(tr("Board code"));
    caption->setBuddy(edit_code);

    label_error = UiStyle::makeLabel(panel, QStringLiteral("label_error"), QString(), UiStyle::sans(13, true),
                                     QRect(6, 77, 317, 34), Qt::AlignCenter);
    label_error->setWordWrap(true);

    auto *play = new FlatButton(tr("PLAY"), panel);
    play->setObjectName(QStringLiteral("button_play"));
    play->setGeometry(43, 116, 111, 34);
    play->setCaptionPixelSize(16);
    auto *cancel = new FlatButton(tr("CANCEL"), panel);
    cancel->setObjectName(QStringLiteral("button_cancel"));
    cancel->setGeometry(171, 116, 111, 34);
    cancel->setCaptionPixelSize(16);
    connect(play, &FlatButton::clicked, this, &Tboardcode::button_playClick);
    connect(cancel, &FlatButton::clicked, this, &Tboardcode::button_cancelClick);
    connect(edit_code, &QLineEdit::returnPressed, this, &Tboardcode::button_playClick);
    // Typing again takes the refusal away.
    connect(edit_code, &QLineEdit::textEdited, label_error, &QLabel::clear);
}

void Tboardcode::ask(const QWidget *over)
{
    edit_code->clear();
    label_error->clear();
    if (over)
        move(over->frameGeometry().center() - rect().center());
    open();
    raise();
    activateWindow();
    edit_code->setFocus();
}

void Tboardcode::button_playClick()
{
    // Anything beyond ASCII stays one character that is refused by its place.
    QByteArray text;
    for (const QChar c : edit_code->text().trimmed())
        text.append(c.unicode() < 0x80 ? char(c.unicode()) : '\x01');
    const rules::CodeReading reading = rules::readBoardCode(std::string_view(text.constData(), std::size_t(text.size())));
    if (!reading.seed) {
        label_error->setText(QString::fromStdString(reading.error));
        edit_code->setFocus();
        return;
    }
    accept();
    emit chosen(*reading.seed);
}

void Tboardcode::button_cancelClick()
{
    reject();
}
