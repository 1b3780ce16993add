#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStringList>

// All of the game's pictures, painted by code and kept for the whole run
// from the first time they are asked for (a QGuiApplication must exist by
// then). The build paints them once more at 1:1 (mkartwork) and compiles
// them in: on a screen at 100 % they are read back from there, which takes
// far less time at start than painting them; on any other they are painted.
class Artwork {
public:
    static constexpr int TileSize = 42;

    static constexpr int BlankTile = 0;
    static constexpr int FirstLetterTile = 1;    // 'A'; 'Z' is 26
    static constexpr int NewestLetterFrame = 27; // dark red ring, goes over a tile
    static constexpr int WordLetterFrame = 28;   // black ring, goes over a tile
    static constexpr int EmptyCell = 29;
    static constexpr int EmptySlot = 30;
    static constexpr int TileCount = 31;

    // 42x42; codes outside 0..30 give the empty board cell.
    static const QPixmap &tile(int code);
    // Small seamless texture repeated over every window's client area.
    static const QPixmap &background();
    static const QPixmap &logo();         // 216x42, transparent
    static const QPixmap &bigLogo();      // 104x104
    static const QPixmap &aboutLogo();    // 206x49, transparent
    static const QPixmap &timeBar();      // 168x20, shown from the left as time runs out
    static const QPixmap &timeBarFrame(); // 175x29, open where the bar sits at (5,5)
    static const QPixmap &wordsHeading(); // 118x21
    static const QPixmap &minLetters();   // 517x7, marks the first 3 of 12 word slots
    // The window icon: a T tile with the newest letter's red frame, in
    // 32, 64 and 128 pixels.
    static const QIcon &icon();

    // The names of the pictures the build stores: icon-32, icon-64,
    // icon-128, tile-00 to tile-30 (by tile code), background, logo,
    // biglogo, aboutlogo, timebar, timebarframe, wordsheading, minletters.
    static const QStringList &names();
    // One of them painted now for a screen of the given scale (the icon's
    // sizes are painted at 1 whatever it is); null for an unknown name.
    static QImage paint(const QString &name, qreal ratio);
    // The build's copy; null when the program holds none.
    static QImage stored(const QString &name);
    // How the build stores a picture: a 16-byte header (width, height,
    // pixel format, scale) and the pixels as they lie in memory, so reading
    // it back gives every premultiplied pixel exactly, which PNG would not.
    // decode() answers a null image for anything that is not such a copy.
    static QByteArray encode(const QImage &image);
    static QImage decode(const QByteArray &bytes);
};
