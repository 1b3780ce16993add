// The yardstick of bench-startup: a bare Qt main window of the game's size,
// in a program that links Qt Widgets and nothing else. Prints the
// milliseconds from main() to the window's first paint done, as the game's
// start is timed.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaintClock : public QObject
{
public:
    explicit FirstPaintClock(const QElapsedTimer &clock)
        : m_clock(clock)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // After this paint is done.
            QTimer::singleShot(0, [this] {
                std::printf("%.3f\n", m_clock.nsecsElapsed() / 1e6);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    const QElapsedTimer &m_clock;
};

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QMainWindow window;
    FirstPaintClock watch(clock);
    window.installEventFilter(&watch);
    window.resize(568, 580);
    window.show();
    QApplication::exec();
    return 1;
}
