#include "application.h"
#include "audiocueplayer.h"
#include "firstpaint.h"
#include "gamewindows.h"
#include "session.h"
#include "signalcloser.h"

#include <QDir>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    SignalCloser closer;
    AudioCuePlayer sound;

    Session session(Session::Paths{QCoreApplication::applicationDirPath(), QDir::currentPath(), QString()}, &sound);
    GameWindows windows(session);
    closer.setWindow(&windows.main);

    // The sound output opens once the window is on the screen; the start-up
    // cue waits for it. The lock is taken then too.
    sound.openWhenPainted(&windows.main);
    FirstPaint::then(&windows.main, [&session] { session.holdLock(); });
    windows.main.show();
    // Games on the service's tickets can be verified; fetched in the
    // background, so START GAME never waits for one.
    session.tickets().start();
    return app.exec();
}
