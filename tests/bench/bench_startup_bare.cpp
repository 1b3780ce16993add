// The yardstick of bench-startup: a bare Qt main window of the game's size,
// in a program that links Qt Widgets and nothing else. Prints the
// milliseconds from main() to the window shown.
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(568, 580);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    std::printf("%.3f\n", clock.nsecsElapsed() / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}
