#pragma once

#include "application.h"
#include "gamewindows.h"
#include "modulecueplayer.h"
#include "session.h"
#include "signalcloser.h"

#include <functional>

// The whole program as main() runs it: the application object, the signal
// handling, the cues, the session and the windows, made in that order and
// gone in the reverse one. bench-startup starts the same.
class Program
{
public:
    // paths is asked once the application object exists: the program's
    // folder is known only then.
    Program(int &argc, char **argv, const std::function<Session::Paths()> &paths = ownPaths);

    // Settings, tally and updates beside the program, the word list file in
    // the folder it was started from.
    static Session::Paths ownPaths();

    // Shows the main window; what the player does not need to see it waits
    // for its first paint (the sound output, the lock, the tickets).
    void show();
    Tmain &mainWindow() { return m_windows.main; }

private:
    Q_DISABLE_COPY_MOVE(Program)

    Application m_app;
    SignalCloser m_closer;
    ModuleCuePlayer m_sound;
    Session m_session;
    GameWindows m_windows;
};
