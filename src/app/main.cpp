#include "application.h"
#include "audiocueplayer.h"
#include "gamewindows.h"
#include "session.h"
#include "signalcloser.h"

#include <QDir>
#include <QTimer>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    SignalCloser closer;
    AudioCuePlayer sound;

    Session session(Session::Paths{QCoreApplication::applicationDirPath(), QDir::currentPath(), QString()}, &sound);
    GameWindows windows(session);
    closer.setWindow(&windows.main);

    windows.main.show();
    // The sound output opens once the window is up; the start-up cue waits
    // for it.
    QTimer::singleShot(0, &sound, &AudioCuePlayer::open);
    return app.exec();
}
