#pragma once

#include "boardcode.h"

#include <QDialog>
#include <QPixmap>

class QLabel;
class QLineEdit;

// File, "Play Board Code...": asks for a board code and hands on its seed.
// A text that is no code is refused on the dialog's own line, and nothing
// else happens until the player plays a good code or cancels.
class Tboardcode : public QDialog
{
    Q_OBJECT

public:
    explicit Tboardcode(const QPixmap &background, QWidget *parent = nullptr);

    // Opens the dialog empty, centred over the window, and returns at once.
    void ask(const QWidget *over);

    void button_playClick();
    void button_cancelClick();

signals:
    // A good code was played; the dialog has closed.
    void chosen(rules::Seed seed);

private:
    QLineEdit *edit_code = nullptr;
    QLabel *label_error = nullptr;
};
