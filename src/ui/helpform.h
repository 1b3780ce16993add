#pragma once

#include <QPixmap>
#include <QWidget>

// The "Tarvle Solo - Help File" window; hidden until the menu shows it.
class Thelp : public QWidget
{
    Q_OBJECT

public:
    explicit Thelp(const QPixmap &background, QWidget *parent = nullptr);
};
