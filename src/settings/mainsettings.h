#pragma once

#include <QString>

// What the main window keeps between runs: its outer placement and the
// player's preferences. The defaults are what a first start uses.
struct MainSettings {
    static constexpr int DefaultLeft = 3;
    static constexpr int DefaultTop = 3;
    static constexpr int DefaultWidth = 568;
    static constexpr int DefaultHeight = 580;

    int top = DefaultTop;
    int left = DefaultLeft;
    int width = DefaultWidth;
    int height = DefaultHeight;
    int clickletters = 0; // 0 click letters one by one, 1 drag across them
    QString name = QStringLiteral("Guest");
    bool sounds = true;
    bool update = true;
};
