#pragma once

#include "aboutform.h"
#include "boardcodeform.h"
#include "helpform.h"
#include "highscoreform.h"
#include "mainform.h"
#include "multiplayerform.h"
#include "reviewform.h"
#include "tallylistform.h"

class Session;

// The game's six windows, created in the order the program needs them and
// destroyed in reverse (the main window last), wired to one another and to
// the session they show, then the board review and the board code dialog.
// The tally is read once the tally window exists.
class GameWindows
{
public:
    explicit GameWindows(Session &session);

    Tmain main;
    Ttallylist tallylist;
    Tabout about;
    Thelp help;
    Thighscore highscore;
    Tmultiplayer multiplayer;
    Treview review;
    Tboardcode boardcode;
};
