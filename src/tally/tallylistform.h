#pragma once

#include "tallyfile.h"
#include "tallyrecords.h"

#include <QPixmap>
#include <QWidget>

#include <array>

class FlatButton;
class QLabel;

// The tally list window: the player's record book, kept on this computer.
// Owns the tally and its file: reads it when created, writes it when
// destroyed. Hidden until the menu shows it; closing only hides it.
class Ttallylist : public QWidget
{
    Q_OBJECT

public:
    // programFolder holds the tally file; stem names it ("<stem>tally.tld").
    Ttallylist(const QPixmap &background, const QString &programFolder, const QString &stem,
               QWidget *parent = nullptr);
    ~Ttallylist() override;

    TallyRecords &records() { return m_records; }
    QString fileName() const { return m_file.path(); }

    // Shows the window, centred over the given one the first time.
    void showOver(const QWidget *window);

    void button_resetClick();
    void button_doneClick();

private:
    void buildLayout();
    void showRecords();

    TallyRecords m_records;
    TallyFile m_file;
    bool m_placed = false;

    std::array<QLabel *, 4> mylabel_{};
    std::array<QLabel *, TallyRecords::Records> label_num{};
    std::array<QLabel *, TallyRecords::Records> label_date{};
    std::array<QLabel *, TallyRecords::Records> label_name{};
    std::array<QLabel *, TallyRecords::Records> label_high{};
    FlatButton *button_reset = nullptr;
    FlatButton *button_done = nullptr;
};
