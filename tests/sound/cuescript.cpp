// cuescript: plays a timed list of cues through the real player, for the
// tests that record what the sound server was given.
//
//   cuescript [--off] CUE@MS...
//
// Opens the default output, then asks for each CUE at MS milliseconds after
// the output opened, from the event loop as the game does, and ends a second
// and a half after the last one; CUE@before asks for it before opening. With
// --off the cues go through a "Play Sounds" switch that is off. Prints, one
// line each, NS being nanoseconds on the monotonic clock:
//   cue NAME NS                                a cue asked for
//   open MS NS RATE CHANNELS BUFFERBYTES       opening took MS and ended at NS
//   open MS NS none                            the same, with no output
#include "audiocueplayer.h"
#include "cueswitch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int TailMilliseconds = 1500;
constexpr int ExitUsage = 2;

long long monotonicNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool off = arguments.removeAll(QStringLiteral("--off")) > 0;

    constexpr int Before = -1;
    struct Step {
        Cue cue;
        int at;
    };
    std::vector<Step> steps;
    for (const QString &argument : arguments) {
        const QStringList parts = argument.split(QLatin1Char('@'));
        bool ok = parts.value(1) == QLatin1String("before");
        const int at = ok ? Before : parts.value(1).toInt(&ok);
        const std::optional<Cue> cue = cueNamed(parts.value(0));
        if (parts.size() != 2 || !ok || at < Before || !cue) {
            std::fprintf(stderr, "cuescript: not CUE@MS: %s\n", qPrintable(argument));
            return ExitUsage;
        }
        steps.push_back({*cue, at});
    }

    AudioCuePlayer player;
    CueSwitch cues(&player);
    cues.setPlaySounds(!off);
    const auto play = [&cues](Cue cue) {
        const long long now = monotonicNanoseconds();
        cues.playsounds(cue);
        std::printf("cue %s %lld\n", qPrintable(cueName(cue)), now);
        std::fflush(stdout);
    };
    for (const Step &step : steps) {
        if (step.at == Before)
            play(step.cue);
    }

    QElapsedTimer opening;
    opening.start();
    // The script runs from the moment the output has opened, or failed to.
    QObject::connect(&player, &AudioCuePlayer::opened, &app, [&](bool playing) {
        const double openMs = opening.nsecsElapsed() / 1e6;
        const long long opened = monotonicNanoseconds();
        if (playing)
            std::printf("open %.3f %lld %d %d %lld\n", openMs, opened, player.format().sampleRate(),
                        player.format().channelCount(), static_cast<long long>(player.bufferSize()));
        else
            std::printf("open %.3f %lld none\n", openMs, opened);
        std::fflush(stdout);

        int last = 0;
        for (const Step &step : steps) {
            if (step.at == Before)
                continue;
            last = std::max(last, step.at);
            QTimer::singleShot(step.at, Qt::PreciseTimer, &app, [&play, step] { play(step.cue); });
        }
        QTimer::singleShot(last + TailMilliseconds, &app, &QCoreApplication::quit);
    });
    player.open();
    return app.exec();
}
