#include "plainwindow.h"

#include "tiledbackground.h"

#include <QVBoxLayout>

namespace PlainWindow {

TiledBackground *setUp(QWidget *window, const QString &objectName, const QString &caption,
                       QSize clientSize, const QPixmap &background)
{
    window->setObjectName(objectName);
    window->setWindowTitle(caption);
    window->resize(clientSize);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *tiles = new TiledBackground(window);
    tiles->setPicture(background);
    layout->addWidget(tiles);
    return tiles;
}

void showOver(QWidget *window, const QWidget *over, bool &placed)
{
    if (!placed && over) {
        window->move(over->frameGeometry().center() - window->rect().center());
        placed = true;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace PlainWindow
