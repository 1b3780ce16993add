#include "cueswitch.h"

void CueSwitch::playsounds(Cue cue)
{
    if (m_playSounds && m_output)
        m_output->playsounds(cue);
}
