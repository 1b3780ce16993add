#include "aboutform.h"
#include "application.h"
#include "helpform.h"
#include "highscoreform.h"
#include "mainform.h"
#include "multiplayerform.h"
#include "tallylistform.h"

#include <QDir>

int main(int argc, char **argv)
{
    Application app(argc, argv);

    // Created in this order; destroyed in reverse, the main window last.
    Tmain mainWindow(Tmain::Folders{QCoreApplication::applicationDirPath(), QDir::currentPath()}, nullptr);
    Ttallylist tallylist(mainWindow.backgroundPicture());
    Tabout about(mainWindow.backgroundPicture());
    Thelp help(mainWindow.backgroundPicture());
    Thighscore highscore(mainWindow.backgroundPicture());
    Tmultiplayer multiplayer(mainWindow.backgroundPicture());

    mainWindow.show();
    return app.exec();
}
