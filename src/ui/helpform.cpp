#include "helpform.h"

#include "plainwindow.h"

Thelp::Thelp(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    PlainWindow::setUp(this, QStringLiteral("Thelp"), QStringLiteral("Tarvle Solo - Help File"), QSize(523, 431), background);
}
