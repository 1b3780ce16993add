#pragma once

#include <QPixmap>
#include <QWidget>

// The tally list window: the player's record book. Hidden until the menu
// shows it.
class Ttallylist : public QWidget
{
    Q_OBJECT

public:
    explicit Ttallylist(const QPixmap &background, QWidget *parent = nullptr);
};
