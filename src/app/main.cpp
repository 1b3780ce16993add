#include "aboutform.h"
#include "application.h"
#include "helpform.h"
#include "highscoreform.h"
#include "mainform.h"
#include "multiplayerform.h"
#include "signalcloser.h"
#include "soundeffectplayer.h"
#include "tallylistform.h"
#include "updatecheck.h"

#include <QDir>

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
    QObject::connect(&mainWindow, &Tmain::helpRequested, &help, [&] { help.showOver(&mainWindow); });
    QObject::connect(&mainWindow, &Tmain::aboutRequested, &about, [&] { about.showOver(&mainWindow); });
    QObject::connect(&help, &Thelp::aboutRequested, &about, [&] { about.showOver(&mainWindow); });
    QObject::connect(&mainWindow, &Tmain::multiplayerRequested, &multiplayer,
                     [&] { multiplayer.showOver(&mainWindow); });
    QObject::connect(&mainWindow, &Tmain::logoClicked, &about, [&] { about.URL1().open(); });
    mainWindow.attachHighScores(highscore);
    UpdateCheck update(QCoreApplication::applicationFilePath(), programFolder, [&about] { return about.versionText(); });
    mainWindow.attachUpdateCheck(update);
    closer.setWindow(&mainWindow);

    mainWindow.show();
    return app.exec();
}
