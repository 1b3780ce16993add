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
    // Opening the sound output loads Qt's sound back end, which holds up
    // whatever else loads meanwhile, so the window is on the screen first; the
    // start-up cue waits for the output. Games on the service's tickets can be
    // verified; they are fetched in the background, so START GAME never waits
    // for one.
    FirstPaint::then(&m_windows.main, [this] {
        m_sound.open();
        m_session.holdLock();
        m_session.tickets().start();
    });
    m_windows.main.show();
}
