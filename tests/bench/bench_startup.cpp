// Start-up time: from launching the process to the main window shown, for the
// game and for a bare Qt main window on the same machine. Each figure is the
// median of several fresh processes.
//
//   bench-startup            runs the comparison and prints a table
//   bench-startup --child M  one start in mode M (bare, game), prints the
//                            milliseconds from main() to the window shown
#include "application.h"
#include "audiocueplayer.h"
#include "gamewindows.h"
#include "session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Runs = 15;

void waitUntilExposed(QWidget &window)
{
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
}

int child(int argc, char **argv, const QString &mode)
{
    QElapsedTimer clock;
    clock.start();
    Application app(argc, argv);
    if (mode == QLatin1String("bare")) {
        QMainWindow window;
        window.resize(568, 580);
        waitUntilExposed(window);
        std::printf("%.3f\n", clock.nsecsElapsed() / 1e6);
    } else {
        const QString folder = QDir::currentPath();
        // The sound output as the program has it: the recordings read at
        // once, the output opened once the window is painted.
        AudioCuePlayer sound;
        Session session(Session::Paths{folder, folder, {}}, &sound);
        GameWindows windows(session);
        sound.openWhenPainted(&windows.main);
        waitUntilExposed(windows.main);
        std::printf("%.3f\n", clock.nsecsElapsed() / 1e6);
        std::fflush(stdout);
        // Leave without tearing down, so the word list file stays for the next run.
        std::_Exit(0);
    }
    return 0;
}

struct Figures {
    double wall;
    double inProcess;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Figures measure(const QString &mode, const QString &folder, bool removeList)
{
    std::vector<double> wall;
    std::vector<double> inside;
    for (int run = 0; run < Runs; ++run) {
        if (removeList)
            QFile::remove(QDir(folder).filePath(QStringLiteral("English")));
        QProcess process;
        process.setWorkingDirectory(folder);
        QElapsedTimer clock;
        clock.start();
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode});
        process.waitForFinished(60000);
        wall.push_back(clock.nsecsElapsed() / 1e6);
        inside.push_back(process.readAllStandardOutput().trimmed().toDouble());
    }
    return Figures{median(wall), median(inside)};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return child(argc, argv, QString::fromLatin1(argv[2]));

    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf("start-up to the main window shown, median of %d processes (ms)\n", Runs);
    std::printf("%-40s %10s %12s\n", "", "process", "in main()");
    const struct {
        const char *label;
        const char *mode;
        bool removeList;
    } cases[] = {
        {"bare QMainWindow", "bare", false},
        {"Tarvle Solo, word list file present", "game", false},
        {"Tarvle Solo, word list file written", "game", true},
    };
    measure(QStringLiteral("game"), folder.path(), false); // warm the caches and leave the list file
    for (const auto &c : cases) {
        const Figures f = measure(QString::fromLatin1(c.mode), folder.path(), c.removeList);
        std::printf("%-40s %10.1f %12.1f\n", c.label, f.wall, f.inProcess);
    }
    return 0;
}
