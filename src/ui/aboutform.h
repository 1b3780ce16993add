#pragma once

#include <QPixmap>
#include <QWidget>

// The "Tarvle Solo - About" window; hidden until the menu shows it.
class Tabout : public QWidget
{
    Q_OBJECT

public:
    explicit Tabout(const QPixmap &background, QWidget *parent = nullptr);
};
