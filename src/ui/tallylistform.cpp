#include "tallylistform.h"

#include "flatbutton.h"
#include "flatpanel.h"
#include "plainwindow.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QLabel>
#include <QMessageBox>

namespace {

const QColor Highlight{0xE8, 0xE8, 0xE1};

QFont labelFont(int pixelSize, bool bold, bool underline = false)
{
    QFont font = UiStyle::sans(pixelSize, bold);
    font.setUnderline(underline);
    return font;
}

} // namespace

Ttallylist::Ttallylist(const QPixmap &background, TallyRecords &records, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
    , m_records(records)
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("tallylist"),
                                                tr("Tarvle Solo - Tally List"), QSize(342, 438), background);
    setFixedSize(342, 438);
    setFont(UiStyle::sans(11));
    buildLayout();
    tiles->lower();
    connect(&m_records, &TallyRecords::changed, this, &Ttallylist::showRecords);
    showRecords();
}

void Ttallylist::buildLayout()
{
    auto *panel = new FlatPanel(this);
    panel->setObjectName(QStringLiteral("FlatPanel1"));
    panel->setGeometry(6, 5, 331, 428);
    panel->setTransparent(true);
    panel->setFrameColor(Qt::black);

    auto label = [panel](const QString &name, const QString &text, const QRect &at, Qt::Alignment align,
                         const QFont &font = labelFont(13, true)) {
        return UiStyle::makeLabel(panel, name, text, font, at, align);
    };
    label(QStringLiteral("label_myname"), tr("YOUR TALLY LIST"), QRect(1, 5, 328, 24), Qt::AlignCenter,
          labelFont(19, true, true));
    const struct {
        const char *name;
        const char *caption;
        QRect at;
        int top;
    } counters[] = {
        {"Label9", "Total Games:", QRect(88, 40, 101, 16), 40},
        {"Label2", "Words Found:", QRect(69, 59, 120, 16), 59},
        {"Label3", "Running Total Score:", QRect(8, 78, 181, 16), 78},
        {"Label5", "Average Game Score:", QRect(8, 98, 181, 16), 98},
    };
    for (int i = 0; i < 4; ++i) {
        label(QString::fromLatin1(counters[i].name), tr(counters[i].caption), counters[i].at,
              Qt::AlignRight | Qt::AlignVCenter);
        mylabel_[i] = label(QStringLiteral("mylabel_%1").arg(i + 1), QString(), QRect(194, counters[i].top, 59, 16),
                            Qt::AlignCenter);
    }
    label(QStringLiteral("Label1"), tr("HIGH SCORES"), QRect(1, 128, 328, 24), Qt::AlignCenter,
          labelFont(19, true, true));
    for (int i = 0; i < TallyRecords::Records; ++i) {
        const int y = 158 + 24 * i;
        const QString n = QString::number(i + 1);
        label_num[i] = label(QStringLiteral("label_num") + n, n + QLatin1Char('.'), QRect(5, y, 24, 16),
                             Qt::AlignRight | Qt::AlignVCenter);
        label_date[i] = label(QStringLiteral("label_date") + n, QString(), QRect(32, y, 101, 16),
                              Qt::AlignLeft | Qt::AlignVCenter);
        label_name[i] = label(QStringLiteral("label_name") + n, QString(), QRect(136, y, 132, 16),
                              Qt::AlignLeft | Qt::AlignVCenter);
        label_high[i] = label(QStringLiteral("label_high") + n, QString(), QRect(286, y, 1, 16),
                              Qt::AlignLeft | Qt::AlignVCenter);
    }

    button_reset = new FlatButton(tr("RESET TALLY"), panel);
    button_reset->setObjectName(QStringLiteral("button_reset"));
    button_reset->setGeometry(80, 395, 137, 26);
    button_reset->setCaptionPixelSize(16);
    connect(button_reset, &FlatButton::clicked, this, &Ttallylist::button_resetClick);
    button_reset->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));
    button_done = new FlatButton(tr("DONE"), panel);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(226, 395, 95, 26);
    button_done->setCaptionPixelSize(16);
    connect(button_done, &FlatButton::clicked, this, &Ttallylist::button_doneClick);
    button_done->setShortcut(QKeySequence(Qt::Key_Escape));
}

void Ttallylist::showRecords()
{
    for (Counter counter : AllCounters)
        mylabel_[int(counter) - 1]->setText(m_records.counterText(counter));
    for (int i = 0; i < TallyRecords::Records; ++i) {
        const TallyRecords::Row &row = m_records.row(i + 1);
        label_date[i]->setText(row.date);
        label_name[i]->setText(row.name);
        label_high[i]->setText(row.score);
        // As wide as its text.
        label_high[i]->resize(label_high[i]->sizeHint().width(), 16);
        for (QLabel *label : {label_num[i], label_date[i], label_name[i], label_high[i]}) {
            label->setFont(labelFont(13, row.look != TallyRecords::Look::Plain));
            UiStyle::setTextColor(label, row.look == TallyRecords::Look::Highlighted ? Highlight : UiStyle::Cream);
        }
    }
}

void Ttallylist::showOver(const QWidget *window)
{
    PlainWindow::showOver(this, window, m_placed);
}

void Ttallylist::button_resetClick()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tarvle Solo"),
                    tr("Are you sure you want to reset the Tally?"), QMessageBox::Yes | QMessageBox::No,
                    this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    m_records.reset();
}

void Ttallylist::button_doneClick()
{
    hide();
}
