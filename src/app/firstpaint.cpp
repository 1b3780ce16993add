#include "firstpaint.h"

#include <QEvent>
#include <QTimer>

FirstPaint::FirstPaint(QObject *window, std::function<void()> work)
    : QObject(window)
    , m_work(std::move(work))
{
    window->installEventFilter(this);
}

void FirstPaint::then(QObject *window, std::function<void()> work)
{
    new FirstPaint(window, std::move(work));
}

bool FirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Paint && m_work) {
        watched->removeEventFilter(this);
        // After this paint, then gone.
        QTimer::singleShot(0, this, [this] {
            const auto work = std::move(m_work);
            deleteLater();
            work();
        });
    }
    return QObject::eventFilter(watched, event);
}
