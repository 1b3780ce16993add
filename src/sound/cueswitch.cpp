#include "cueswitch.h"

void CueSwitch::playsounds(const QString &name)
{
    if (m_playSounds && m_output)
        m_output->playsounds(name);
}
