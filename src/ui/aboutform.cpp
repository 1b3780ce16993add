#include "aboutform.h"

#include "plainwindow.h"

Tabout::Tabout(const QPixmap &background, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    PlainWindow::setUp(this, QStringLiteral("Tabout"), QStringLiteral("Tarvle Solo - About"), QSize(304, 193), background);
}
