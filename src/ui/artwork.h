#pragma once

#include <QIcon>
#include <QPixmap>

// All of the game's pictures, painted by code the first time they are asked
// for (a QGuiApplication must exist by then) and kept for the whole run.
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
};
