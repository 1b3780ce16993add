#pragma once

#include "mainform.h"
#include "session.h"

#include <QObject>

#include <memory>

// The base of the tests that drive the main window of a session. The window
// is wired to the session as the program wires it (its close ends the
// session), and goes before the session it views.
class SessionWindowTest : public QObject
{
protected:
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Tmain> m_window;

    // Opens a session and its main window, not yet shown: the first
    // showing starts the update check.
    void openWindow(const Session::Paths &paths, CuePlayer *sound)
    {
        m_session = std::make_unique<Session>(paths, sound);
        m_window = std::make_unique<Tmain>(m_session->mainServices());
        m_session->attach(*m_window);
    }

    void closeWindow()
    {
        m_window.reset();
        m_session.reset();
    }
};
