#pragma once

#include <QPixmap>
#include <QWidget>

// The "Tarvle Solo - Multiplayer" window; hidden until the menu shows it.
class Tmultiplayer : public QWidget
{
    Q_OBJECT

public:
    explicit Tmultiplayer(const QPixmap &background, QWidget *parent = nullptr);
};
