#pragma once

#include "tallyrecords.h"

#include <QPixmap>
#include <QWidget>

#include <array>

class FlatButton;
class QLabel;

// The tally list window: a view of the player's record book, which the
// program's session owns with its file. Hidden until the menu shows it;
// closing only hides it.
class Ttallylist : public QWidget
{
    Q_OBJECT

public:
    // The records outlive the window.
    Ttallylist(const QPixmap &background, TallyRecords &records, QWidget *parent = nullptr);

    // Shows the window, centred over the given one the first time.
    void showOver(const QWidget *window);

    void button_resetClick();
    void button_doneClick();

private:
    void buildLayout();
    void showRecords();

    TallyRecords &m_records;
    bool m_placed = false;

    std::array<QLabel *, 4> mylabel_{};
    std::array<QLabel *, TallyRecords::Records> label_num{};
    std::array<QLabel *, TallyRecords::Records> label_date{};
    std::array<QLabel *, TallyRecords::Records> label_name{};
    std::array<QLabel *, TallyRecords::Records> label_high{};
    FlatButton *button_reset = nullptr;
    FlatButton *button_done = nullptr;
};
