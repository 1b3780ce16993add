// The cues on a real sound server: a PulseAudio daemon of the test's own
// plays into a null sink whose monitor is recorded, while the player, in a
// process of its own as in the game, plays a timed list of cues. Every cue
// asked for must be in the recording, in order, starting within 50 ms of the
// request, each cut off by the next; nothing else may sound.

#include "cueonsets.h"
#include "monitorrecording.h"
#include "pulseserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr double MaxLatencyMs = 50.0;
// The clocks of the recording and of the requests agree to within a
// millisecond, and a few where the server rewound its mix after a gap; an
// onset before its request beyond that would be a fault of the measure.
constexpr double MinLatencyMs = -5.0;
// Exact copies leave nothing; a cue dropped, cut short, mixed with the one
// before or with a piece missing leaves far more.
constexpr double MaxUnexplained = 0.01;
// A loaded machine may starve the output for a moment now and then, which is
// heard as a short gap; an output that is fed too little runs dry in most
// cues.
constexpr int MaxGaps = 3;
constexpr int Attempts = 3;
constexpr int RunMilliseconds = 60000;
constexpr int LeadMilliseconds = 300; // recorded before the player starts

struct Request {
    Cue cue;
    double nanoseconds;
};

// One run of cuescript, recorded.
struct Played {
    bool finished = false;
    int exitCode = -1;
    QString openLine;
    QByteArray errors;
    std::vector<Request> requests;
    double openedNanoseconds = 0;
    std::vector<qint16> samples;
    std::unique_ptr<MonitorRecording> recording;
};

class RealServer : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_server = new PulseServer; }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(s_server->isRunning()) << qPrintable(s_server->failure()); }

    // Runs the script with the recording going from before it starts until
    // after it ends.
    static void play(const QStringList &script, Played &run, const QProcessEnvironment &environment,
                     PulseServer &server = *s_server)
    {
        run.recording = std::make_unique<MonitorRecording>(server.clientEnvironment(), server.monitorName(),
                                                           PulseServer::Rate);
        ASSERT_TRUE(run.recording->isRunning());
        ASSERT_TRUE(run.recording->waitForFrames(PulseServer::Rate * LeadMilliseconds / 1000));

        QProcess player;
        player.setProcessEnvironment(environment);
        player.start(QStringLiteral(CUESCRIPT), script);
        run.finished = player.waitForFinished(RunMilliseconds);
        if (!run.finished)
            player.kill();
        run.exitCode = player.exitStatus() == QProcess::NormalExit ? player.exitCode() : -1;
        run.errors = player.readAllStandardError();
        for (const QByteArray &line : player.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.value(0) == "cue" && words.size() == 3) {
                run.requests.push_back({*cueNamed(QString::fromLatin1(words[1])), words[2].toDouble()});
            } else if (words.value(0) == "open") {
                run.openLine = QString::fromLatin1(line);
                run.openedNanoseconds = words.value(2).toDouble();
            }
        }
        ASSERT_TRUE(run.recording->waitForFrames(run.recording->frames() + PulseServer::Rate * LeadMilliseconds / 1000));
        run.recording->stop();
        run.samples = run.recording->samples();
        keep(run.samples);
        ASSERT_TRUE(run.finished) << "the player did not end";
        ASSERT_EQ(run.exitCode, 0) << run.errors.constData();
    }

    // With TARVLE_RECORDINGS naming a folder, each recording is left there
    // as raw mono 16-bit samples, to be listened to or looked at.
    static void keep(const std::vector<qint16> &samples)
    {
        const QString folder = qEnvironmentVariable("TARVLE_RECORDINGS");
        if (folder.isEmpty())
            return;
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        QFile file(QDir(folder).filePath(QStringLiteral("%1.s16").arg(QLatin1String(test->name()))));
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char *>(samples.data()), qint64(samples.size() * sizeof(qint16)));
    }

    static void play(const QStringList &script, Played &run) { play(script, run, s_server->clientEnvironment()); }

    static std::vector<Cue> kindsOf(const std::vector<Request> &requests)
    {
        std::vector<Cue> kinds;
        for (const Request &request : requests) {
            if (std::find(kinds.begin(), kinds.end(), request.cue) == kinds.end())
                kinds.push_back(request.cue);
        }
        return kinds;
    }

    // The onsets and the requests, each at its time from the first request.
    static std::string listed(const Played &run, const std::vector<CueOnsets::Onset> &found)
    {
        std::string text;
        const double zero = run.requests.empty() ? 0.0 : run.requests.front().nanoseconds;
        for (const Request &request : run.requests)
            text += QStringLiteral("  asked %1 at %2 ms\n")
                        .arg(cueName(request.cue))
                        .arg((request.nanoseconds - zero) / 1e6, 0, 'f', 1)
                        .toStdString();
        for (const CueOnsets::Onset &onset : found)
            text += QStringLiteral("  heard %1 at %2 ms (match %3)\n")
                        .arg(cueName(onset.cue))
                        .arg((run.recording->timeOf(double(onset.frame)) - zero) / 1e6, 0, 'f', 1)
                        .arg(onset.score, 0, 'f', 3)
                        .toStdString();
        return text;
    }

    // What a recording shows against its requests: every request heard
    // once, in order and in time, and nothing else. A cue asked for before
    // the output opened is timed from the opening.
    struct Verdict {
        std::vector<std::string> faults;
        int gaps = 0;
        std::string summary;
    };

    static Verdict judge(const Played &run, const char *label)
    {
        Verdict verdict;
        const auto fault = [&verdict](const QString &text) { verdict.faults.push_back(text.toStdString()); };
        const CueOnsets onsets(PulseServer::Rate);
        const std::vector<CueOnsets::Onset> found = onsets.find(run.samples, kindsOf(run.requests));
        if (run.requests.empty() || found.size() != run.requests.size()) {
            fault(QStringLiteral("%1 onsets found for %2 cues asked for:\n").arg(found.size()).arg(run.requests.size())
                  + QString::fromStdString(listed(run, found)));
            verdict.summary = QStringLiteral("%1: %2 of %3 cues heard").arg(QLatin1String(label)).arg(found.size())
                                  .arg(run.requests.size()).toStdString();
            return verdict;
        }
        std::vector<double> latencies;
        for (size_t k = 0; k < found.size(); ++k) {
            const Request &request = run.requests[k];
            if (found[k].cue != request.cue)
                fault(QStringLiteral("cue %1: heard %2 where %3 was asked for").arg(k).arg(cueName(found[k].cue),
                                                                                          cueName(request.cue)));
            const double from = std::max(request.nanoseconds, run.openedNanoseconds);
            const double latency = (run.recording->timeOf(double(found[k].frame)) - from) / 1e6;
            if (latency < MinLatencyMs || latency > MaxLatencyMs)
                fault(QStringLiteral("cue %1 (%2): heard %3 ms after it was asked for")
                          .arg(k)
                          .arg(cueName(request.cue))
                          .arg(latency, 0, 'f', 1));
            latencies.push_back(latency);
        }
        const CueOnsets::Fit fit = onsets.fit(run.samples, found);
        verdict.gaps = fit.gaps;
        if (fit.unexplained > MaxUnexplained)
            fault(QStringLiteral("%1 of the recording is not the cues heard").arg(fit.unexplained, 0, 'f', 4));
        if (fit.gaps > MaxGaps)
            fault(QStringLiteral("%1 gaps in the sound").arg(fit.gaps));

        std::sort(latencies.begin(), latencies.end());
        verdict.summary = QStringLiteral("%1: %2 of %3 cues heard, latency min %4 median %5 max %6 ms, %7 gaps; %8")
                              .arg(QLatin1String(label))
                              .arg(found.size())
                              .arg(run.requests.size())
                              .arg(latencies.front(), 0, 'f', 1)
                              .arg(latencies[latencies.size() / 2], 0, 'f', 1)
                              .arg(latencies.back(), 0, 'f', 1)
                              .arg(fit.gaps)
                              .arg(run.openLine)
                              .toStdString();
        return verdict;
    }

    // Plays the script and judges the recording. Gaps in the sound mean that
    // the output or the server went without CPU time for longer than the
    // buffer, which a crowded machine does now and then; such a run says
    // little about the player and is played again, twice at most. Anything
    // wrong in a run without gaps fails at once.
    static void expectHeardAsAskedFor(const QStringList &script, const char *label)
    {
        for (int attempt = 1; attempt <= Attempts; ++attempt) {
            Played run;
            ASSERT_NO_FATAL_FAILURE(play(script, run));
            const Verdict verdict = judge(run, label);
            std::printf("%s\n", verdict.summary.c_str());
            if (verdict.faults.empty())
                return;
            if (verdict.gaps == 0 || attempt == Attempts) {
                for (const std::string &fault : verdict.faults)
                    ADD_FAILURE() << fault;
                return;
            }
            std::printf("  the sound had gaps, so the machine starved it: once more\n");
        }
    }

    static QStringList every(const char *cue, int count, int first, int spacing)
    {
        QStringList script;
        for (int k = 0; k < count; ++k)
            script << QStringLiteral("%1@%2").arg(QLatin1String(cue)).arg(first + k * spacing);
        return script;
    }

    static PulseServer *s_server;
};

PulseServer *RealServer::s_server = nullptr;

// Each of the nine cues, alone, sounds once and whole, to its last sample.
TEST_F(RealServer, everyCueIsHeardWhole)
{
    QStringList script;
    int at = 200;
    for (const Cue cue : AllCues) {
        script << QStringLiteral("%1@%2").arg(cueName(cue)).arg(at);
        at += 1300;
    }
    expectHeardAsAskedFor(script, "nine cues");
}

// The last twelve seconds of a game: a tick a second, every one heard on time.
TEST_F(RealServer, twelveTicksASecondApartAreAllHeard)
{
    expectHeardAsAskedFor(every("tick", 12, 200, 1000), "12 ticks 1 s apart");
}

// Letters typed quickly: each click starts at once and cuts the one before.
TEST_F(RealServer, twentyClicksOneHundredFiftyMsApartAreAllHeard)
{
    expectHeardAsAskedFor(every("click", 20, 200, 150), "20 clicks 150 ms apart");
}

// The same cue asked for again while it sounds starts again from its
// beginning, every time.
TEST_F(RealServer, aCueRepeatedEveryHundredMsStartsAnewEachTime)
{
    expectHeardAsAskedFor(every("goodword", 15, 200, 100), "goodword every 100 ms");
}

// The newest cue wins: a long cue is cut off by the next one, which is heard
// alone from its first sample, whatever the two are.
TEST_F(RealServer, aNewCueCutsOffTheOneSounding)
{
    const QStringList script = {
        QStringLiteral("gameover@200"), QStringLiteral("invalid@450"), QStringLiteral("gameover@700"),
        QStringLiteral("entered@950"),  QStringLiteral("click@1200"),  QStringLiteral("goodword@1300"),
        QStringLiteral("turnnew@1600"), QStringLiteral("rotate@1800"), QStringLiteral("clear@1950"),
        QStringLiteral("tick@2100"),    QStringLiteral("invalid@2200"), QStringLiteral("gameover@2500"),
    };
    expectHeardAsAskedFor(script, "alternating cues");
}

// The start-up cue, asked for while the window is made and before the output
// opens, sounds as soon as the output is open.
TEST_F(RealServer, aCueAskedForBeforeOpeningSoundsOnceOpen)
{
    expectHeardAsAskedFor({QStringLiteral("entered@before"), QStringLiteral("tick@1000")}, "start-up cue");
}

// With "Play Sounds" off nothing sounds at all, though the output is open.
TEST_F(RealServer, playSoundsOffPlaysNothing)
{
    const QStringList script = QStringList{QStringLiteral("--off")} + every("tick", 5, 200, 300)
        + every("click", 5, 1800, 150);
    Played run;
    ASSERT_NO_FATAL_FAILURE(play(script, run));
    EXPECT_FALSE(run.openLine.contains(QStringLiteral("none"))) << "the output did not open";
    EXPECT_EQ(run.requests.size(), 10u);
    EXPECT_GT(run.samples.size(), size_t(PulseServer::Rate * 3));
    EXPECT_EQ(CueOnsets::peak(run.samples), 0);
}

// No sound server: the player opens nothing at once, plays nothing, prints
// nothing and ends as it should.
TEST_F(RealServer, withoutAServerCuesAreSilentAndNothingIsPrinted)
{
    Played run;
    ASSERT_NO_FATAL_FAILURE(play(every("click", 5, 100, 150), run, s_server->environmentWithoutServer()));
    EXPECT_TRUE(run.openLine.endsWith(QStringLiteral("none"))) << qPrintable(run.openLine);
    EXPECT_EQ(run.errors.toStdString(), "");
    EXPECT_EQ(run.requests.size(), 5u);
    EXPECT_EQ(CueOnsets::peak(run.samples), 0);
    std::printf("no server: %s\n", qPrintable(run.openLine));
}

// The server going away while cues play leaves the player silent and running:
// the later cues are asked for, nothing is printed and the player ends
// normally.
TEST(RealServerGone, cuesStaySilentAfterTheServerGoes)
{
    PulseServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.failure());
    QProcess player;
    player.setProcessEnvironment(server.clientEnvironment());
    QStringList script;
    for (int k = 0; k < 10; ++k)
        script << QStringLiteral("tick@%1").arg(100 + 200 * k);
    player.start(QStringLiteral(CUESCRIPT), script);
    ASSERT_TRUE(player.waitForReadyRead(RunMilliseconds));
    player.waitForFinished(700);
    server.kill();
    ASSERT_TRUE(player.waitForFinished(RunMilliseconds));
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0);
    EXPECT_EQ(player.readAllStandardOutput().count("cue tick"), 10);
    EXPECT_EQ(player.readAllStandardError().toStdString(), "");
}

} // namespace
