#pragma once

#include "aboutform.h"
#include "helpform.h"
#include "highscoreform.h"
#include "mainform.h"
#include "multiplayerform.h"
#include "tallylistform.h"
#include "updatecheck.h"

class CuePlayer;

// The game's six windows, created in the order the program needs them and
// destroyed in reverse (the main window last), wired to one another.
class GameWindows
{
public:
    // programFolder holds the settings and the tally; workingFolder the word
    // list file; sound plays the cues (null is silence).
    GameWindows(const QString &programFolder, const QString &workingFolder, CuePlayer *sound);

    Tmain main;
    Ttallylist tallylist;
    Tabout about;
    Thelp help;
    Thighscore highscore;
    Tmultiplayer multiplayer;
    UpdateCheck update;
};
