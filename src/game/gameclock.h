#pragma once

#include <QObject>
#include <QTimer>

// The clock that drives a game (turntime): one tick a second while it runs.
// The program's runs on a timer; a test hands the game one it advances by
// hand, so no test waits for the wall clock.
class GameClock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void ticked();
};

// Ticks once a second on the interface thread.
class SecondTimer : public GameClock
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 1000;

    explicit SecondTimer(QObject *parent = nullptr);

    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    int interval() const { return m_timer.interval(); }

private:
    QTimer m_timer;
};
