#pragma once

#include "boardreview.h"

#include <QPixmap>
#include <QWidget>

#include <array>

class FlatButton;
class Game;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class ReviewBoardView;

// The board review: what the last game's board held. The board code to
// share, a small board on which the chosen word's path is drawn, the share
// of the board's points found, every word with its points (found words
// marked) and the count of words per length. A view of the game's review,
// which the game owns: it follows each new review and hides when the next
// game drops it. Hidden until asked for; closing only hides it.
class Treview : public QWidget
{
    Q_OBJECT

public:
    // The game outlives the window.
    Treview(const QPixmap &background, const Game &game, QWidget *parent = nullptr);

    // Shows the window, centred over the given one the first time; nothing
    // while the game has no review.
    void showOver(const QWidget *window);

    // The entry whose path the board shows; -1 for none.
    int shownEntry() const { return m_shown; }

    void button_doneClick();

private:
    void buildLayout();
    void showReview();
    void fillList();
    void showEntry(QTreeWidgetItem *item);
    void headerClicked(int section);

    const Game &m_game;
    bool m_placed = false;
    int m_shown = -1;

    QLineEdit *edit_code = nullptr;
    ReviewBoardView *paintbox_review = nullptr;
    QLabel *label_path = nullptr;
    QLabel *label_summary = nullptr;
    QComboBox *combo_show = nullptr;
    QComboBox *combo_order = nullptr;
    QTreeWidget *list_words = nullptr;
    std::array<QLabel *, 10> label_words{};
    std::array<QLabel *, 10> label_found{};
    FlatButton *button_done = nullptr;
};
