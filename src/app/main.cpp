#include "aboutform.h"
#include "application.h"
#include "helpform.h"
#include "highscoreform.h"
#include "mainform.h"
#include "multiplayerform.h"
#include "signalcloser.h"
#include "soundeffectplayer.h"
#include "tallylistform.h"

#include <QDir>

namespace {

// Shows a window without blocking the main one, or brings it to the front.
void showWindow(QWidget &window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

int main(int argc, char **argv)
{
    Application app(argc, argv);
    SignalCloser closer;
    SoundEffectPlayer sound;

    // Created in this order; destroyed in reverse, the main window last.
    const QString programFolder = QCoreApplication::applicationDirPath();
    Tmain mainWindow(Tmain::Folders{programFolder, QDir::currentPath()}, &sound);
    Ttallylist tallylist(mainWindow.backgroundPicture(), programFolder, QString::fromLatin1(Tmain::filestem));
    Tabout about(mainWindow.backgroundPicture());
    Thelp help(mainWindow.backgroundPicture());
    Thighscore highscore(mainWindow.backgroundPicture());
    Tmultiplayer multiplayer(mainWindow.backgroundPicture());

    mainWindow.game().setTally(&tallylist.records());
    QObject::connect(&mainWindow, &Tmain::tallyListRequested, &tallylist,
                     [&] { tallylist.showOver(&mainWindow); });
    QObject::connect(&mainWindow, &Tmain::helpRequested, &help, [&help] { showWindow(help); });
    QObject::connect(&mainWindow, &Tmain::aboutRequested, &about, [&about] { showWindow(about); });
    closer.setWindow(&mainWindow);

    mainWindow.show();
    return app.exec();
}
