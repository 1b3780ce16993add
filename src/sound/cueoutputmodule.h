#pragma once

#include "cueplayer.h"

// The entry point of the sound output module (cueoutputmodule.cpp), which
// carries the player on Qt Multimedia. It makes a player, hands it `cue`
// when that is one of the cues (a cue asked for before the module was
// loaded; -1 for none) and opens the default output. The caller owns the
// player and keeps the module loaded while the player lives.
extern "C" {
using OpenCueOutput = CuePlayer *(*)(int cue);
}

inline constexpr char OpenCueOutputSymbol[] = "tarvle_open_cue_output";
