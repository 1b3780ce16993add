#include "gameclock.h"

SecondTimer::SecondTimer(QObject *parent)
    : GameClock(parent)
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &GameClock::ticked);
}
