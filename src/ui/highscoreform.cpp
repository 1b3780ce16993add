#include "highscoreform.h"

#include "plainwindow.h"

Thighscore::Thighscore(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    PlainWindow::setUp(this, QStringLiteral("Thighscore"), QStringLiteral("Tarvle Solo - High Scores"), QSize(603, 561), background);
}
