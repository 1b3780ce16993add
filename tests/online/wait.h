#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs the event loop until the condition holds; the bound only keeps a
// broken build from hanging, the caller asserts on the condition itself.
inline bool waitUntil(const std::function<bool()> &condition)
{
    constexpr int SafetyMs = 20000;
    constexpr int PollMs = 5;
    const QDeadlineTimer deadline(SafetyMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(PollMs);
    if (!condition())
        loop.exec();
    return condition();
}
