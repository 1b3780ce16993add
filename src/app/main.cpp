#include "application.h"
#include "gamewindows.h"
#include "session.h"
#include "signalcloser.h"
#include "soundeffectplayer.h"

#include <QDir>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    SignalCloser closer;
    SoundEffectPlayer sound;

    Session session(Session::Paths{QCoreApplication::applicationDirPath(), QDir::currentPath(), QString()}, &sound);
    GameWindows windows(session);
    closer.setWindow(&windows.main);

    windows.main.show();
    return app.exec();
}
