#include "gamewindows.h"

#include "errorbox.h"
#include "session.h"

GameWindows::GameWindows(Session &session)
    : main(session.mainServices())
    , m_session(session)
{
    // The start goes on with the tally as a failed read left it.
    if (const QString error = session.loadTally(); !error.isEmpty())
        ErrorBox::show(nullptr, error);

    session.attach(main);
    QObject::connect(&main, &Tmain::tallyListRequested, &main, [this] { tallylist().showOver(&main); });
    QObject::connect(&main, &Tmain::helpRequested, &main, [this] { help().showOver(&main); });
    QObject::connect(&main, &Tmain::aboutRequested, &main, [this] { about().showOver(&main); });
    QObject::connect(&main, &Tmain::multiplayerRequested, &main, [this] { multiplayer().showOver(&main); });
    QObject::connect(&main, &Tmain::logoClicked, &main, [this] { about().URL1().open(); });
    QObject::connect(&main, &Tmain::reviewRequested, &main, [this] { review().showOver(&main); });
    QObject::connect(&main, &Tmain::boardCodeRequested, &main, [this] { boardcode().ask(&main); });
    main.attachHighScores([this]() -> Thighscore & { return highscore(); });
    main.attachUpdateCheck(session.update());
}

// The other windows go first, whatever made them.
GameWindows::~GameWindows() = default;

Ttallylist &GameWindows::tallylist()
{
    if (!m_tallylist)
        m_tallylist = std::make_unique<Ttallylist>(main.backgroundPicture(), m_session.tally());
    return *m_tallylist;
}

Tabout &GameWindows::about()
{
    if (!m_about)
        m_about = std::make_unique<Tabout>(main.backgroundPicture(), Session::version());
    return *m_about;
}

Thelp &GameWindows::help()
{
    if (!m_help) {
        m_help = std::make_unique<Thelp>(main.backgroundPicture());
        QObject::connect(m_help.get(), &Thelp::aboutRequested, m_help.get(), [this] { about().showOver(&main); });
    }
    return *m_help;
}

Thighscore &GameWindows::highscore()
{
    if (!m_highscore)
        m_highscore = std::make_unique<Thighscore>(main.backgroundPicture());
    return *m_highscore;
}

Tmultiplayer &GameWindows::multiplayer()
{
    if (!m_multiplayer)
        m_multiplayer = std::make_unique<Tmultiplayer>(main.backgroundPicture());
    return *m_multiplayer;
}

Treview &GameWindows::review()
{
    if (!m_review)
        m_review = std::make_unique<Treview>(main.backgroundPicture(), m_session.game());
    return *m_review;
}

Tboardcode &GameWindows::boardcode()
{
    if (!m_boardcode) {
        m_boardcode = std::make_unique<Tboardcode>(main.backgroundPicture());
        QObject::connect(m_boardcode.get(), &Tboardcode::chosen, &main, [this](rules::Seed seed) {
            ErrorBox::guard(&main, [this, seed] { main.playBoard(seed); });
        });
    }
    return *m_boardcode;
}
