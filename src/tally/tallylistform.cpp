#include "tallylistform.h"

#include "plainwindow.h"

Ttallylist::Ttallylist(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    PlainWindow::setUp(this, QStringLiteral("Ttallylist"), QStringLiteral("Tarvle Solo - Tally List"),
                       QSize(342, 438), background);
}
