#include "application.h"
#include "gamewindows.h"
#include "signalcloser.h"
#include "soundeffectplayer.h"

#include <QDir>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    SignalCloser closer;
    SoundEffectPlayer sound;

    GameWindows windows(QCoreApplication::applicationDirPath(), QDir::currentPath(), &sound);
    closer.setWindow(&windows.main);

    windows.main.show();
    return app.exec();
}
