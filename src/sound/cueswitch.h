#pragma once

#include "cueplayer.h"

// The "Play Sounds" switch in front of the sound output: cues pass while it
// is on. Turning it off stops nothing already playing, it only keeps new
// cues away. The output is borrowed and may be null (silence).
class CueSwitch : public CuePlayer
{
public:
    explicit CueSwitch(CuePlayer *output = nullptr)
        : m_output(output)
    {
    }

    bool playSounds() const { return m_playSounds; }
    void setPlaySounds(bool on) { m_playSounds = on; }

    void playsounds(Cue cue) override;

private:
    CuePlayer *m_output;
    bool m_playSounds = true;
};
