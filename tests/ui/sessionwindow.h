#pragma once

#include "mainform.h"
#include "session.h"

#include <memory>

// The main window of a session, wired to it as the program wires it: its
// close ends the session. Destroy the window before the session.
inline std::unique_ptr<Tmain> openMain(Session &session)
{
    auto window = std::make_unique<Tmain>(session.mainServices());
    session.attach(*window);
    return window;
}
