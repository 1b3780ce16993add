// Start-up time: from launching the process to the main window painted, for the
// game and for a bare Qt main window (bench-startup-bare, which links Qt
// Widgets only) on the same machine. The cases take turns, run after run, so
// a busy moment of the machine falls on all of them alike; each figure is the
// median of fresh processes, with the spread between the quartiles.
//
//   bench-startup [RUNS]     runs the comparison and prints a table
//   bench-startup --child    one start of the game as main() makes it,
//                            prints the milliseconds from main() to the
//                            window's first paint done
//
// It runs on whatever platform Qt picks: QT_QPA_PLATFORM=offscreen, or a
// display (xvfb-run -a bench-startup).
#include "firstpaint.h"
#include "program.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int DefaultRuns = 21;

// The program as main() starts it; the time is taken once the main window's
// first paint is done, the moment a player sees it. The program's own work
// after that paint waits behind this (the newest watcher goes first), so it
// is not counted: the window is on the screen by then.
[[noreturn]] void child(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    Program program(argc, argv, [] {
        const QString folder = QDir::currentPath();
        return Session::Paths{folder, folder, {}};
    });
    program.show();
    FirstPaint::then(&program.mainWindow(), [&clock] {
        std::printf("%.3f\n", clock.nsecsElapsed() / 1e6);
        std::fflush(stdout);
        // Leave without tearing down, so the word list file stays for the next run.
        std::_Exit(0);
    });
    QCoreApplication::exec();
    std::_Exit(1);
}

struct Sample {
    std::vector<double> wall;
    std::vector<double> inside;
};

struct Spread {
    double median;
    double low;  // first quartile
    double high; // third quartile
};

Spread spread(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&values](double share) { return values[std::size_t(share * double(values.size() - 1) + 0.5)]; };
    return Spread{at(0.5), at(0.25), at(0.75)};
}

// One process; its wall time and the time it printed.
void run(const QString &program, const QStringList &arguments, const QString &folder, Sample &sample)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    process.waitForFinished(60000);
    sample.wall.push_back(clock.nsecsElapsed() / 1e6);
    sample.inside.push_back(process.readAllStandardOutput().trimmed().toDouble());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && QByteArray(argv[1]) == "--child")
        child(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : DefaultRuns;
    const QString self = QCoreApplication::applicationFilePath();
    const QString bare = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench-startup-bare"));
    QTemporaryDir folder;
    const QString list = QDir(folder.path()).filePath(QStringLiteral("English"));

    enum { Bare, Present, Missing, Cases };
    const char *labels[Cases] = {"bare QMainWindow", "word list file present", "word list file missing"};
    Sample samples[Cases];
    // Warms the caches and leaves the list file.
    Sample warm;
    run(self, {QStringLiteral("--child")}, folder.path(), warm);
    run(bare, {}, folder.path(), warm);
    for (int round = 0; round < runs; ++round) {
        run(bare, {}, folder.path(), samples[Bare]);
        run(self, {QStringLiteral("--child")}, folder.path(), samples[Present]);
        QFile::remove(list);
        run(self, {QStringLiteral("--child")}, folder.path(), samples[Missing]);
    }

    std::printf("start-up to the main window painted on %s, %d runs of each, taking turns (ms)\n",
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("the default platform"))), runs);
    std::printf("%-24s %8s %16s %8s   %8s %16s\n", "", "process", "quartiles", "ratio", "in main", "quartiles");
    const double bareWall = spread(samples[Bare].wall).median;
    for (int c = 0; c < Cases; ++c) {
        const Spread wall = spread(samples[c].wall);
        const Spread inside = spread(samples[c].inside);
        std::printf("%-24s %8.1f %7.1f..%-7.1f %8.2f   %8.1f %7.1f..%-7.1f\n", labels[c], wall.median, wall.low,
                    wall.high, wall.median / bareWall, inside.median, inside.low, inside.high);
    }
    return 0;
}
