#pragma once

#include <QString>

// Plays the short sound cues by name ("entered", "turnnew", "click",
// "invalid", "goodword", "clear", "rotate", "tick", "gameover").
// Never blocks and never reports a failure.
class CuePlayer
{
public:
    virtual ~CuePlayer() = default;
    virtual void playsounds(const QString &name) = 0;
};
