#include "gamewindows.h"

#include "errorbox.h"
#include "session.h"

GameWindows::GameWindows(Session &session)
    : main(session.mainServices())
    , tallylist(main.backgroundPicture(), session.tally())
    , about(main.backgroundPicture(), Session::version())
    , help(main.backgroundPicture())
    , highscore(main.backgroundPicture())
    , multiplayer(main.backgroundPicture())
    , review(main.backgroundPicture(), session.game())
    , boardcode(main.backgroundPicture())
{
    // The start goes on with the tally as a failed read left it.
    if (const QString error = session.loadTally(); !error.isEmpty())
        ErrorBox::show(nullptr, error);

    session.attach(main);
    QObject::connect(&main, &Tmain::tallyListRequested, &tallylist, [this] { tallylist.showOver(&main); });
    QObject::connect(&main, &Tmain::helpRequested, &help, [this] { help.showOver(&main); });
    QObject::connect(&main, &Tmain::aboutRequested, &about, [this] { about.showOver(&main); });
    QObject::connect(&help, &Thelp::aboutRequested, &about, [this] { about.showOver(&main); });
    QObject::connect(&main, &Tmain::multiplayerRequested, &multiplayer, [this] { multiplayer.showOver(&main); });
    QObject::connect(&main, &Tmain::logoClicked, &about, [this] { about.URL1().open(); });
    QObject::connect(&main, &Tmain::reviewRequested, &review, [this] { review.showOver(&main); });
    QObject::connect(&main, &Tmain::boardCodeRequested, &boardcode, [this] { boardcode.ask(&main); });
    QObject::connect(&boardcode, &Tboardcode::chosen, &main, [this](rules::Seed seed) {
        ErrorBox::guard(&main, [this, seed] { main.playBoard(seed); });
    });
    main.attachHighScores(highscore);
    main.attachUpdateCheck(session.update());
}
