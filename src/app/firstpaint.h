#pragma once

#include <QObject>

#include <functional>

// Runs some work once a window has been painted for the first time, after
// that paint is done: what the player does not see waits until the window is
// on the screen. The work is dropped if the window goes first.
class FirstPaint : public QObject
{
    Q_OBJECT

public:
    // The watcher belongs to the window.
    static void then(QObject *window, std::function<void()> work);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FirstPaint(QObject *window, std::function<void()> work);

    std::function<void()> m_work;
};
