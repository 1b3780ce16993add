#pragma once

#include <QPixmap>
#include <QWidget>

// The "Tarvle Solo - High Scores" window; hidden until the menu shows it.
class Thighscore : public QWidget
{
    Q_OBJECT

public:
    explicit Thighscore(const QPixmap &background, QWidget *parent = nullptr);
};
