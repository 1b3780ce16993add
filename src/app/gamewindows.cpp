#include "gamewindows.h"

#include <QCoreApplication>

GameWindows::GameWindows(const QString &programFolder, const QString &workingFolder, CuePlayer *sound)
    : main(Tmain::Folders{programFolder, workingFolder}, sound)
    , tallylist(main.backgroundPicture(), programFolder, QString::fromLatin1(Tmain::filestem))
    , about(main.backgroundPicture())
    , help(main.backgroundPicture())
    , highscore(main.backgroundPicture())
    , multiplayer(main.backgroundPicture())
    , update(QCoreApplication::applicationFilePath(), programFolder, [this] { return about.versionText(); })
{
    main.game().setTally(&tallylist.records());
    QObject::connect(&main, &Tmain::tallyListRequested, &tallylist, [this] { tallylist.showOver(&main); });
    QObject::connect(&main, &Tmain::helpRequested, &help, [this] { help.showOver(&main); });
    QObject::connect(&main, &Tmain::aboutRequested, &about, [this] { about.showOver(&main); });
    QObject::connect(&help, &Thelp::aboutRequested, &about, [this] { about.showOver(&main); });
    QObject::connect(&main, &Tmain::multiplayerRequested, &multiplayer, [this] { multiplayer.showOver(&main); });
    QObject::connect(&main, &Tmain::logoClicked, &about, [this] { about.URL1().open(); });
    main.attachHighScores(highscore);
    main.attachUpdateCheck(update);
}
