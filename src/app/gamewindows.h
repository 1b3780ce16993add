#pragma once

#include "aboutform.h"
#include "boardcodeform.h"
#include "helpform.h"
#include "highscoreform.h"
#include "mainform.h"
#include "multiplayerform.h"
#include "reviewform.h"
#include "tallylistform.h"

#include <memory>

class Session;

// The game's windows, wired to one another and to the session they show.
// The main window is made at once; each of the others is made the first
// time it is asked for (from the main window's menu, or by the accessors
// below), which keeps their pictures and widgets out of the start. All of
// them go before the main window. The tally is read once the main window
// exists.
class GameWindows
{
public:
    explicit GameWindows(Session &session);
    ~GameWindows();

    Tmain main;

    Ttallylist &tallylist();
    Tabout &about();
    Thelp &help();
    Thighscore &highscore();
    Tmultiplayer &multiplayer();
    Treview &review();
    Tboardcode &boardcode();

private:
    Q_DISABLE_COPY_MOVE(GameWindows)

    Session &m_session;
    std::unique_ptr<Ttallylist> m_tallylist;
    std::unique_ptr<Tabout> m_about;
    std::unique_ptr<Thelp> m_help;
    std::unique_ptr<Thighscore> m_highscore;
    std::unique_ptr<Tmultiplayer> m_multiplayer;
    std::unique_ptr<Treview> m_review;
    std::unique_ptr<Tboardcode> m_boardcode;
};
