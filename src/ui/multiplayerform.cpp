#include "multiplayerform.h"

#include "plainwindow.h"

Tmultiplayer::Tmultiplayer(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    PlainWindow::setUp(this, QStringLiteral("Tmultiplayer"), QStringLiteral("Tarvle Solo - Multiplayer"), QSize(569, 431), background);
}
