#include "reviewform.h"

#include "flatbutton.h"
#include "flatpanel.h"
#include "game.h"
#include "plainwindow.h"
#include "points.h"
#include "reviewboardview.h"
#include "tiledbackground.h"
#include "uistyle.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr QSize ClientSize{680, 470};
constexpr int EntryRole = Qt::UserRole;

enum Column { WordColumn, LettersColumn, PointsColumn, FoundColumn };

using Order = BoardReview::Order;
using Show = BoardReview::Show;

// The orders in the order the list offers them.
constexpr Order Orders[] = {Order::Commonest, Order::MostPoints, Order::FewestPoints,
                            Order::Longest,   Order::Shortest,   Order::Alphabetical};
constexpr Show Shows[] = {Show::Missed, Show::All, Show::Found};

QFont labelFont(int pixelSize, bool bold, bool underline = false)
{
    QFont font = UiStyle::sans(pixelSize, bold);
    font.setUnderline(underline);
    return font;
}

const QString FieldStyle = QStringLiteral("background: #FFFFE6; color: black; border: 1px solid #314431;");

// Enter on a word shows its path, as choosing it with the arrows does.
class WordList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            emit itemActivated(currentItem(), 0);
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

} // namespace

Treview::Treview(const QPixmap &background, const Game &game, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
    , m_game(game)
{
    TiledBackground *tiles = PlainWindow::setUp(this, QStringLiteral("Treview"), tr("Tarvle Solo - Board Review"),
                                                ClientSize, background);
    setFixedSize(ClientSize);
    setFont(UiStyle::sans(11));
    buildLayout();
    tiles->lower();
    connect(&m_game, &Game::reviewChanged, this, &Treview::showReview);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &Treview::button_doneClick);
    showReview();
}

void Treview::buildLayout()
{
    using UiStyle::makeLabel;

    auto *left = new FlatPanel(this);
    left->setObjectName(QStringLiteral("panel_left"));
    left->setGeometry(6, 5, 254, 460);
    left->setTransparent(true);
    left->setFrameColor(Qt::black);

    makeLabel(left, QStringLiteral("label_title"), tr("BOARD REVIEW"), labelFont(19, true, true), QRect(1, 5, 252, 24),
              Qt::AlignCenter);
    QLabel *codeCaption = makeLabel(left, QStringLiteral("label_code"), tr("Board code:"), labelFont(13, true),
                                    QRect(14, 40, 86, 26), Qt::AlignLeft | Qt::AlignVCenter);
    edit_code = new QLineEdit(left);
    edit_code->setObjectName(QStringLiteral("edit_code"));
    edit_code->setGeometry(102, 40, 136, 26);
    edit_code->setReadOnly(true);
    edit_code->setAlignment(Qt::AlignCenter);
    edit_code->setFont(UiStyle::arial(16, true));
    edit_code->setStyleSheet(QStringLiteral("QLineEdit { ") + FieldStyle + QStringLiteral(" }"));
    edit_code->setPlaceholderText(tr("none"));
    edit_code->setAccessibleName(tr("Board code"));
    codeCaption->setBuddy(edit_code);

    auto *frame = new FlatPanel(left);
    frame->setObjectName(QStringLiteral("panel_reviewboard"));
    frame->setGeometry(14, 76, ReviewBoardView::Side + 2, ReviewBoardView::Side + 2);
    paintbox_review = new ReviewBoardView(frame);
    paintbox_review->setObjectName(QStringLiteral("paintbox_review"));
    paintbox_review->move(1, 1);

    label_path = makeLabel(left, QStringLiteral("label_path"), QString(), labelFont(13, true),
                           QRect(10, 308, 234, 60), Qt::AlignHCenter | Qt::AlignTop);
    label_path->setWordWrap(true);

    makeLabel(left, QStringLiteral("label_legend"), tr("The red frame marks the first letter."), labelFont(11, false),
              QRect(10, 372, 234, 20), Qt::AlignCenter);

    auto *right = new FlatPanel(this);
    right->setObjectName(QStringLiteral("panel_right"));
    right->setGeometry(266, 5, 408, 460);
    right->setTransparent(true);
    right->setFrameColor(Qt::black);

    label_summary = makeLabel(right, QStringLiteral("label_summary"), QString(), labelFont(13, true),
                              QRect(8, 6, 392, 36), Qt::AlignCenter);
    label_summary->setWordWrap(true);

    const QString comboStyle = QStringLiteral(
        "QComboBox { %1 padding: 1px 4px; }"
        "QComboBox QAbstractItemView { background: #FFFFE6; color: black;"
        " selection-background-color: #314431; selection-color: #FFFFC6; }").arg(FieldStyle);
    QLabel *showCaption = makeLabel(right, QStringLiteral("label_show"), tr("Show:"), labelFont(13, true),
                                    QRect(8, 48, 44, 24), Qt::AlignLeft | Qt::AlignVCenter);
    combo_show = new QComboBox(right);
    combo_show->setObjectName(QStringLiteral("combo_show"));
    combo_show->setGeometry(52, 48, 134, 24);
    combo_show->addItems({tr("Missed words"), tr("All words"), tr("Found words")});
    combo_show->setStyleSheet(comboStyle);
    combo_show->setAccessibleName(tr("Show"));
    showCaption->setBuddy(combo_show);
    QLabel *orderCaption = makeLabel(right, QStringLiteral("label_order"), tr("Order:"), labelFont(13, true),
                                     QRect(200, 48, 46, 24), Qt::AlignLeft | Qt::AlignVCenter);
    combo_order = new QComboBox(right);
    combo_order->setObjectName(QStringLiteral("combo_order"));
    combo_order->setGeometry(246, 48, 154, 24);
    combo_order->addItems({tr("Most common first"), tr("Most points first"), tr("Fewest points first"),
                           tr("Longest first"), tr("Shortest first"), tr("A to Z")});
    combo_order->setStyleSheet(comboStyle);
    combo_order->setAccessibleName(tr("Order"));
    orderCaption->setBuddy(combo_order);

    list_words = new WordList(right);
    list_words->setObjectName(QStringLiteral("list_words"));
    list_words->setGeometry(8, 80, 392, 276);
    list_words->setRootIsDecorated(false);
    list_words->setUniformRowHeights(true);
    list_words->setAllColumnsShowFocus(true);
    list_words->setSelectionMode(QAbstractItemView::SingleSelection);
    list_words->setHeaderLabels({tr("Word"), tr("Letters"), tr("Points"), tr("Found")});
    list_words->setAccessibleName(tr("Words on the board"));
    list_words->setFont(UiStyle::arial(13));
    list_words->header()->setSectionsClickable(true);
    list_words->header()->setSectionsMovable(false);
    list_words->header()->setStretchLastSection(false);
    list_words->header()->setSectionResizeMode(WordColumn, QHeaderView::Stretch);
    for (int column : {LettersColumn, PointsColumn, FoundColumn})
        list_words->header()->resizeSection(column, 64);
    list_words->setStyleSheet(QStringLiteral(
        "QTreeWidget { background: #FFFFE6; color: black; border: 1px solid #314431; }"
        "QTreeWidget::item:selected { background: #314431; color: #FFFFC6; }"
        "QHeaderView::section { background: #FFFFC6; color: #4A4A4A; font-weight: bold; border: 0;"
        " border-right: 1px solid #A40000; border-bottom: 1px solid #A40000; padding: 1px 4px; }"));

    // Words per length: a row of lengths, then those on the board and those found.
    const QFont countFont = labelFont(11, true);
    makeLabel(right, QStringLiteral("label_lengths"), tr("Letters"), countFont, QRect(8, 362, 52, 18),
              Qt::AlignLeft | Qt::AlignVCenter);
    makeLabel(right, QStringLiteral("label_onboard"), tr("Words"), countFont, QRect(8, 380, 52, 18),
              Qt::AlignLeft | Qt::AlignVCenter);
    makeLabel(right, QStringLiteral("label_foundrow"), tr("Found"), countFont, QRect(8, 398, 52, 18),
              Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < 10; ++i) {
        const int letters = rules::MinWord + i;
        const int x = 64 + 33 * i;
        const QString n = QString::number(letters);
        makeLabel(right, QStringLiteral("label_length") + n, n, countFont, QRect(x, 362, 33, 18), Qt::AlignCenter);
        label_words[std::size_t(i)] = makeLabel(right, QStringLiteral("label_words") + n, QString(),
                                                labelFont(11, false), QRect(x, 380, 33, 18), Qt::AlignCenter);
        label_found[std::size_t(i)] = makeLabel(right, QStringLiteral("label_found") + n, QString(),
                                                labelFont(11, false), QRect(x, 398, 33, 18), Qt::AlignCenter);
    }

    button_done = new FlatButton(tr("DONE"), right);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(305, 428, 95, 26);
    button_done->setCaptionPixelSize(16);
    connect(button_done, &FlatButton::clicked, this, &Treview::button_doneClick);

    connect(combo_show, &QComboBox::currentIndexChanged, this, &Treview::fillList);
    connect(combo_order, &QComboBox::currentIndexChanged, this, &Treview::fillList);
    connect(list_words, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) { showEntry(item); });
    connect(list_words, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) { showEntry(item); });
    connect(list_words->header(), &QHeaderView::sectionClicked, this, &Treview::headerClicked);

    setTabOrder(list_words, combo_show);
    setTabOrder(combo_show, combo_order);
    setTabOrder(combo_order, edit_code);
}

void Treview::showReview()
{
    const BoardReview *review = m_game.review();
    if (!review) {
        hide();
        edit_code->clear();
        paintbox_review->setLetters(rules::Letters{});
        paintbox_review->setPath({});
        label_summary->clear();
        label_path->clear();
        list_words->clear();
        m_shown = -1;
        return;
    }
    edit_code->setText(review->code());
    paintbox_review->setLetters(review->letters());
    // One line when it fits: a slightly smaller face before a second line.
    label_summary->setText(review->summaryText());
    label_summary->setFont(labelFont(13, true));
    if (label_summary->fontMetrics().horizontalAdvance(label_summary->text()) > label_summary->width())
        label_summary->setFont(labelFont(12, true));
    for (std::size_t i = 0; i < label_words.size(); ++i) {
        label_words[i]->setText(QString::number(review->wordsOfLength()[i]));
        label_found[i]->setText(QString::number(review->foundOfLength()[i]));
    }
    fillList();
}

void Treview::fillList()
{
    const BoardReview *review = m_game.review();
    list_words->clear();
    m_shown = -1;
    paintbox_review->setPath({});
    label_path->clear();
    if (!review)
        return;

    const Order order = Orders[std::max(0, combo_order->currentIndex())];
    const Show show = Shows[std::max(0, combo_show->currentIndex())];
    QFont foundFont = list_words->font();
    foundFont.setBold(true);
    QList<QTreeWidgetItem *> items;
    for (const int index : review->listed(show, order)) {
        const BoardReview::Entry &entry = review->entries()[std::size_t(index)];
        auto *item = new QTreeWidgetItem({entry.word, QString::number(entry.letters()), QString::number(entry.points),
                                          entry.found ? tr("found") : QString()});
        item->setData(WordColumn, EntryRole, index);
        for (int column : {LettersColumn, PointsColumn})
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        if (entry.found) {
            for (int column = WordColumn; column <= FoundColumn; ++column) {
                item->setForeground(column, UiStyle::Maroon);
                item->setFont(column, foundFont);
            }
        }
        items.append(item);
    }
    list_words->addTopLevelItems(items);

    // The header shows the order where a column has it.
    QHeaderView *header = list_words->header();
    header->setSortIndicatorShown(order != Order::Commonest);
    switch (order) {
    case Order::MostPoints:
    case Order::FewestPoints:
        header->setSortIndicator(PointsColumn, order == Order::MostPoints ? Qt::DescendingOrder : Qt::AscendingOrder);
        break;
    case Order::Longest:
    case Order::Shortest:
        header->setSortIndicator(LettersColumn, order == Order::Longest ? Qt::DescendingOrder : Qt::AscendingOrder);
        break;
    case Order::Alphabetical:
        header->setSortIndicator(WordColumn, Qt::AscendingOrder);
        break;
    case Order::Commonest:
        break;
    }

    if (!items.isEmpty())
        list_words->setCurrentItem(items.front());
    else
        label_path->setText(show == Show::Found ? tr("No word found on this board.") : tr("Every word found!"));
}

void Treview::showEntry(QTreeWidgetItem *item)
{
    const BoardReview *review = m_game.review();
    if (!review || !item) {
        m_shown = -1;
        paintbox_review->setPath({});
        return;
    }
    m_shown = item->data(WordColumn, EntryRole).toInt();
    const BoardReview::Entry &entry = review->entries()[std::size_t(m_shown)];
    paintbox_review->setPath(entry.path);
    const QString points = entry.points == 1 ? tr("1 point") : tr("%1 points").arg(entry.points);
    const rules::Cell first = entry.path.front();
    label_path->setText(tr("%1: %2, %3.\nStarts at column %4, row %5.")
                            .arg(entry.word, points, entry.found ? tr("found") : tr("missed"))
                            .arg(first.column + 1)
                            .arg(first.row + 1));
    // The whole path in words, for a screen reader.
    QStringList steps;
    for (std::size_t i = 0; i < entry.path.size(); ++i) {
        steps << tr("%1 at column %2, row %3")
                     .arg(entry.word.at(qsizetype(i)))
                     .arg(entry.path[i].column + 1)
                     .arg(entry.path[i].row + 1);
    }
    paintbox_review->setAccessibleDescription(tr("Path of %1: %2").arg(entry.word, steps.join(QStringLiteral("; "))));
}

void Treview::headerClicked(int section)
{
    const Order current = Orders[std::max(0, combo_order->currentIndex())];
    Order next = current;
    switch (section) {
    case WordColumn:
        next = Order::Alphabetical;
        break;
    case LettersColumn:
        next = current == Order::Longest ? Order::Shortest : Order::Longest;
        break;
    case PointsColumn:
        next = current == Order::MostPoints ? Order::FewestPoints : Order::MostPoints;
        break;
    default:
        next = Order::Commonest;
        break;
    }
    const int index = int(std::find(std::begin(Orders), std::end(Orders), next) - std::begin(Orders));
    if (index != combo_order->currentIndex())
        combo_order->setCurrentIndex(index);
    else
        fillList(); // the header turned its indicator: draw the order's again
}

void Treview::showOver(const QWidget *window)
{
    if (!m_game.review())
        return;
    // Wider than the main window: centred over it, but kept on its screen.
    if (!m_placed && window) {
        const QRect area = window->screen()->availableGeometry();
        QRect frame(window->frameGeometry().center() - rect().center(), frameGeometry().size());
        frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width() + 1)));
        frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height() + 1)));
        move(frame.topLeft());
    }
    PlainWindow::showOver(this, nullptr, m_placed);
    m_placed = true;
    list_words->setFocus();
}

void Treview::button_doneClick()
{
    hide();
}
