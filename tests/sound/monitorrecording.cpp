#include "monitorrecording.h"

#include <QByteArray>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <limits>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int LatencyMilliseconds = 5; // parec's pieces: the finer, the closer the clock
constexpr int WaitMilliseconds = 5000;
constexpr int TieSeconds = 2; // arrivals on either side that tie a frame to the clock

long long now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

MonitorRecording::MonitorRecording(const QProcessEnvironment &environment, const QString &source, int rate)
    : m_rate(rate)
{
    const QStringList arguments = {
        QStringLiteral("parec"),
        QStringLiteral("--raw"),
        QStringLiteral("--device=") + source,
        QStringLiteral("--format=s16le"),
        QStringLiteral("--rate=%1").arg(rate),
        QStringLiteral("--channels=1"),
        QStringLiteral("--latency-msec=%1").arg(LatencyMilliseconds),
    };
    // Everything the child needs is made before fork().
    std::vector<std::string> argumentText;
    for (const QString &argument : arguments)
        argumentText.push_back(argument.toStdString());
    std::vector<std::string> environmentText;
    for (const QString &variable : environment.toStringList())
        environmentText.push_back(variable.toStdString());
    std::vector<char *> argv;
    for (std::string &text : argumentText)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (std::string &text : environmentText)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return;
    }
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::execvpe("parec", argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    m_pid = pid;
    m_fd = pipeFds[0];
    m_reader = std::thread([this] { read(m_fd); });
}

MonitorRecording::~MonitorRecording()
{
    stop();
}

void MonitorRecording::read(int fd)
{
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        const long long at = now();
        if (got < 0 && errno == EINTR)
            continue;
        std::lock_guard lock(m_mutex);
        if (got <= 0) {
            m_ended = true;
            return;
        }
        m_bytes.insert(m_bytes.end(), buffer, buffer + got);
        m_arrivals.push_back({at, qsizetype(m_bytes.size() / sizeof(qint16))});
    }
}

bool MonitorRecording::waitForFrames(qsizetype wanted)
{
    for (int waited = 0; waited < WaitMilliseconds; waited += 5) {
        {
            std::lock_guard lock(m_mutex);
            if (m_ended)
                return false;
            if (qsizetype(m_bytes.size() / sizeof(qint16)) >= wanted)
                return true;
        }
        QThread::msleep(5);
    }
    return false;
}

void MonitorRecording::stop()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_reader.joinable())
        m_reader.join();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

qsizetype MonitorRecording::frames() const
{
    std::lock_guard lock(m_mutex);
    return qsizetype(m_bytes.size() / sizeof(qint16));
}

std::vector<qint16> MonitorRecording::samples() const
{
    std::lock_guard lock(m_mutex);
    std::vector<qint16> out(m_bytes.size() / sizeof(qint16));
    std::memcpy(out.data(), m_bytes.data(), out.size() * sizeof(qint16));
    return out;
}

double MonitorRecording::offsetNear(double frame) const
{
    std::lock_guard lock(m_mutex);
    const double reach = double(TieSeconds) * m_rate;
    const auto first = std::lower_bound(m_arrivals.begin(), m_arrivals.end(), frame - reach,
                                        [](const Arrival &arrival, double at) { return double(arrival.frames) < at; });
    double best = std::numeric_limits<double>::infinity();
    for (auto arrival = first; arrival != m_arrivals.end() && double(arrival->frames) <= frame + reach; ++arrival)
        best = std::min(best, double(arrival->nanoseconds) - double(arrival->frames) * 1e9 / m_rate);
    // Past the last arrival, the last ones tie it.
    if (best == std::numeric_limits<double>::infinity() && !m_arrivals.empty())
        best = double(m_arrivals.back().nanoseconds) - double(m_arrivals.back().frames) * 1e9 / m_rate;
    return best;
}

double MonitorRecording::timeOf(double frame) const
{
    return offsetNear(frame) + frame * 1e9 / m_rate;
}

double MonitorRecording::frameAt(double nanoseconds) const
{
    // The offset barely changes over a second, so two steps settle it.
    double frame = 0.0;
    for (int step = 0; step < 3; ++step)
        frame = (nanoseconds - offsetNear(frame)) * m_rate / 1e9;
    return frame;
}
