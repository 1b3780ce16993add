#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QWidget>

class TiledBackground;

// Shared set-up of the secondary windows: a caption, a fixed client size and
// the main window's tiled background.
namespace PlainWindow {

// Makes the window's client area a tiled background and returns it, so the
// window's contents can be placed on it.
TiledBackground *setUp(QWidget *window, const QString &objectName, const QString &caption,
                       QSize clientSize, const QPixmap &background);

// Shows a window without blocking the others, centred over another one the
// first time (placed records that), and brings it to the front.
void showOver(QWidget *window, const QWidget *over, bool &placed);

} // namespace PlainWindow
