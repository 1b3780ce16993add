#include "audiocueplayer.h"
#include "cueoutputmodule.h"

extern "C" Q_DECL_EXPORT CuePlayer *tarvle_open_cue_output(int cue)
{
    auto *player = new AudioCuePlayer;
    for (const Cue known : AllCues) {
        if (int(known) == cue)
            player->playsounds(known);
    }
    player->open();
    return player;
}
