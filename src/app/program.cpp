#include "program.h"

#include "firstpaint.h"

#include <QDir>

Program::Program(int &argc, char **argv, const std::function<Session::Paths()> &paths)
    : m_app(argc, argv)
    , m_session(paths(), &m_sound)
    , m_windows(m_session)
{
    m_closer.setWindow(&m_windows.main);
}

Session::Paths Program::ownPaths()
{
    return Session::Paths{QCoreApplication::applicationDirPath(), QDir::currentPath(), QString()};
}

void Program::show()
{
    // The start-up cue waits for the output. Games on the service's tickets
    // can be verified; they are fetched in the background, so START GAME
    // never waits for one.
    m_sound.openWhenPainted(&m_windows.main);
    FirstPaint::then(&m_windows.main, [this] {
        m_session.holdLock();
        m_session.tickets().start();
    });
    m_windows.main.show();
}
