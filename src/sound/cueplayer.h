#pragma once

#include "cue.h"

// Plays the short sound cues. Never blocks and never reports a failure.
class CuePlayer
{
public:
    virtual ~CuePlayer() = default;
    virtual void playsounds(Cue cue) = 0;
};
