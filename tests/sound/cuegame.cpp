// cuegame: one whole game of three minutes, played on the keyboard through
// the program's own windows, with its cues going to a sound server of its
// own and recorded, then every cue asked for looked up in the recording.
//
//   cuegame [RECORDING.wav]
//
// The program is built as main() builds it (session, windows, the cue
// player opened once the main window is shown); in between the game and the
// player sits a log of the cues asked for and when. A typist reads the board
// as a player would and types words that lie on it, 150 ms a letter, sends
// each with Enter and goes on until the clock runs out. Prints every cue
// asked for with the delay at which it was heard, or "not heard", and the
// counts; writes the recording as a WAV file when asked to.
#include "application.h"
#include "audiocueplayer.h"
#include "cueonsets.h"
#include "firstpaint.h"
#include "gamewindows.h"
#include "monitorrecording.h"
#include "pulseserver.h"
#include "routesearch.h"
#include "session.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int LetterMilliseconds = 150;
constexpr int SendMilliseconds = 200;  // from the last letter to Enter
constexpr int PauseMilliseconds = 500; // from Enter to the next word
constexpr double MaxLatencyMs = 50.0;
// The player hands the server a piece every few milliseconds; a cue asked
// for less than that before the next one may not be in any.
constexpr double OutputStepSeconds = 0.007;
constexpr double MinOpeningSeconds = 0.004;
constexpr int ExitFailed = 1;

double now()
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count());
}

// The cues the game asks for, with the time, passed on to the player.
class CueLog : public CuePlayer
{
public:
    explicit CueLog(CuePlayer &output)
        : m_output(output)
    {
    }

    struct Request {
        Cue cue;
        double nanoseconds;
    };

    void playsounds(Cue cue) override
    {
        m_requests.push_back({cue, now()});
        m_output.playsounds(cue);
    }

    const std::vector<Request> &requests() const { return m_requests; }

private:
    CuePlayer &m_output;
    std::vector<Request> m_requests;
};

// The words of the list, 3 to 7 letters, as tile codes.
std::vector<std::vector<int>> wordsFromTheList()
{
    std::vector<std::vector<int>> words;
    QFile file(QStringLiteral(TARVLE_WORDS_TXT));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return words;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString word = in.readLine().trimmed().toLower();
        if (word.size() < 3 || word.size() > 7)
            continue;
        std::vector<int> codes;
        for (const QChar letter : word) {
            if (letter < QLatin1Char('a') || letter > QLatin1Char('z'))
                break;
            codes.push_back(letter.unicode() - u'a' + 1);
        }
        if (codes.size() == size_t(word.size()))
            words.push_back(codes);
    }
    return words;
}

// What a player would type on this board: words that lie on it, in a
// shuffled order.
std::vector<std::vector<int>> wordsOnBoard(const rules::Letters &letters, const std::vector<std::vector<int>> &list)
{
    std::vector<std::vector<int>> found;
    for (const std::vector<int> &word : list) {
        if (!rules::RouteSearch(letters, word).find().empty())
            found.push_back(word);
    }
    std::shuffle(found.begin(), found.end(), *QRandomGenerator::global());
    return found;
}

void writeWave(const QString &path, const std::vector<qint16> &samples, int rate)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const auto dataBytes = quint32(samples.size() * sizeof(qint16));
    const auto put = [&file](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file.putChar(char((value >> (8 * i)) & 0xFF));
    };
    file.write("RIFF");
    put(36 + dataBytes, 4);
    file.write("WAVEfmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(quint32(rate), 4);
    put(quint32(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    file.write("data");
    put(dataBytes, 4);
    file.write(reinterpret_cast<const char *>(samples.data()), qint64(dataBytes));
}

} // namespace

int main(int argc, char **argv)
{
    PulseServer server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "cuegame: %s\n", qPrintable(server.failure()));
        return ExitFailed;
    }
    // This process's own sound output goes to that server and no other.
    const QProcessEnvironment client = server.clientEnvironment();
    for (const char *name : {"PULSE_SERVER", "PULSE_CLIENTCONFIG"})
        qputenv(name, client.value(QLatin1String(name)).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    Application app(argc, argv);
    const QString wavePath = app.arguments().value(1);
    MonitorRecording recording(client, server.monitorName(), PulseServer::Rate);
    if (!recording.isRunning() || !recording.waitForFrames(PulseServer::Rate / 2)) {
        std::fprintf(stderr, "cuegame: parec does not record\n");
        return ExitFailed;
    }
    const std::vector<std::vector<int>> list = wordsFromTheList();

    QTemporaryDir folder;
    AudioCuePlayer sound;
    CueLog cues(sound);
    Session session(Session::Paths{folder.path(), folder.path(), QString()}, &cues);
    GameWindows windows(session);
    Tmain &window = windows.main;
    double opened = 0.0;
    QObject::connect(&sound, &AudioCuePlayer::opened, &app, [&opened] { opened = now(); });
    FirstPaint::then(&window, [&sound] { sound.open(); });
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        std::fprintf(stderr, "cuegame: the main window did not become active\n");
        return ExitFailed;
    }
    QTest::qWait(1000);

    // File, Start Game from the keyboard, then word after word until the end.
    const double started = now();
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    Game &game = session.game();
    const std::vector<std::vector<int>> words = wordsOnBoard(game.board().letters(), list);
    int typedLetters = 0;
    int sentWords = 0;
    for (size_t next = 0; game.isPlaying(); ++next) {
        const std::vector<int> &word = words.empty() ? std::vector<int>{1, 2, 3} : words[next % words.size()];
        for (const int code : word) {
            if (!game.isPlaying())
                break;
            QTest::keyClick(&window, Qt::Key(Qt::Key_A + code - 1));
            ++typedLetters;
            QTest::qWait(LetterMilliseconds);
        }
        QTest::qWait(SendMilliseconds - LetterMilliseconds);
        if (!game.isPlaying())
            break;
        QTest::keyClick(&window, Qt::Key_Return);
        ++sentWords;
        QTest::qWait(PauseMilliseconds);
    }
    QTest::qWait(2000);
    recording.stop();
    const double gameSeconds = (now() - started) / 1e9;

    // Each cue asked for, looked for where it should start: from a little
    // before its request to well past the longest delay allowed.
    const std::vector<qint16> samples = recording.samples();
    const CueOnsets onsets(PulseServer::Rate);
    std::vector<CueOnsets::Onset> heard;
    std::map<Cue, std::pair<int, int>> counts; // asked, heard
    std::map<Cue, int> replaced;
    std::vector<double> latencies;
    int placedClicks = 0;
    const double zero = cues.requests().empty() ? started : cues.requests().front().nanoseconds;
    const std::vector<CueLog::Request> &requests = cues.requests();
    for (size_t k = 0; k < requests.size(); ++k) {
        const CueLog::Request &request = requests[k];
        // A cue cut off by the next one before its opening is over is told
        // by what was played of it; one replaced within a piece or two of
        // output is too short to tell (the newest wins).
        const double untilNext = k + 1 < requests.size() ? (requests[k + 1].nanoseconds - request.nanoseconds) / 1e9 : 1.0;
        const double opening = std::min(untilNext - OutputStepSeconds, CueOnsets::OpeningSeconds);
        ++counts[request.cue].first;
        if (request.cue == Cue::Click)
            ++placedClicks;
        std::printf("%8.3f s  %-8s  ", (request.nanoseconds - zero) / 1e9, qPrintable(cueName(request.cue)));
        if (opening < MinOpeningSeconds) {
            ++replaced[request.cue];
            std::printf("cut off by the next cue %.1f ms later, too soon to tell in the recording\n", untilNext * 1000);
            continue;
        }
        const auto at = qsizetype(recording.frameAt(request.nanoseconds));
        const std::optional<CueOnsets::Onset> onset = onsets.findIn(samples, request.cue, at - PulseServer::Rate / 100,
                                                                    at + PulseServer::Rate / 10, opening);
        if (onset) {
            const double latency = (recording.timeOf(double(onset->frame)) - request.nanoseconds) / 1e6;
            heard.push_back(*onset);
            ++counts[request.cue].second;
            std::printf("heard after %5.1f ms (match %.3f", latency, onset->score);
            if (opening < CueOnsets::OpeningSeconds)
                std::printf(" over the %.0f ms it sounded before the next cue", opening * 1000);
            if (request.nanoseconds < opened) {
                // Asked for while the window was made, played once the output opened.
                std::printf("; asked for before the output opened, heard %.1f ms after it opened",
                            (recording.timeOf(double(onset->frame)) - opened) / 1e6);
            } else {
                latencies.push_back(latency);
            }
            std::printf(")\n");
        } else {
            std::printf("not heard\n");
        }
    }

    std::printf("\none game of %.1f s: %d letters typed, %d words sent; %s\n", gameSeconds, typedLetters, sentWords,
                qPrintable(session.game().scoreText()));
    for (const auto &[cue, count] : counts)
        std::printf("  %-8s asked %4d, heard %4d, cut off too soon to tell %d\n", qPrintable(cueName(cue)),
                    count.first, count.second, replaced[cue]);
    std::printf("ticks heard: %d of 12 (asked for %d); clicks heard: %d of the %d typed letters that were placed\n",
                counts[Cue::Tick].second, counts[Cue::Tick].first, counts[Cue::Click].second, placedClicks);
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        const auto over = std::count_if(latencies.begin(), latencies.end(), [](double l) { return l > MaxLatencyMs; });
        std::printf("delay from request to sound (cues asked for once the output was open): min %.1f, median %.1f, 99th percentile %.1f, max %.1f ms; %lld over "
                    "%.0f ms\n",
                    latencies.front(), latencies[latencies.size() / 2], latencies[latencies.size() * 99 / 100],
                    latencies.back(), static_cast<long long>(over), MaxLatencyMs);
    }
    std::sort(heard.begin(), heard.end(), [](const auto &a, const auto &b) { return a.frame < b.frame; });
    const CueOnsets::Fit fit = onsets.fit(samples, heard);
    std::printf("gaps in the sound: %d; share of the recording not explained by the cues heard: %.4f\n", fit.gaps,
                fit.unexplained);
    if (!wavePath.isEmpty()) {
        writeWave(wavePath, samples, PulseServer::Rate);
        std::printf("recording: %s\n", qPrintable(wavePath));
    }
    window.close();
    return 0;
}
