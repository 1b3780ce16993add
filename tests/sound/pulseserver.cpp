#include "pulseserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int StartMilliseconds = 20000;
constexpr int StopMilliseconds = 5000;

// A child that outlives a crashed test would hold its folder and socket.
void dieWithParent()
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

} // namespace

PulseServer::PulseServer()
{
    if (!m_folder.isValid()) {
        m_failure = QStringLiteral("no temporary folder");
        return;
    }
    // The daemon wants a runtime folder that only its user can enter.
    for (const char *name : {"home", "runtime", "config", "state"}) {
        QDir().mkpath(path(QLatin1String(name)));
        QFile::setPermissions(path(QLatin1String(name)),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile client(path(QStringLiteral("client.conf")));
    if (!client.open(QIODevice::WriteOnly) || client.write("autospawn = no\n") < 0) {
        m_failure = QStringLiteral("cannot write client.conf");
        return;
    }
    client.close();

    QProcessEnvironment environment = clientEnvironment();
    environment.remove(QStringLiteral("PULSE_SERVER"));
    m_daemon.setProcessEnvironment(environment);
    m_daemon.setWorkingDirectory(m_folder.path());
    m_daemon.setProcessChannelMode(QProcess::MergedChannels);
    m_daemon.setChildProcessModifier(dieWithParent);
    m_daemon.start(QStringLiteral("pulseaudio"),
                   {
                       // No default script: only the two modules below. As root
                       // it warns that it is meant for a user, and runs, with
                       // real-time scheduling as a desktop's server has it.
                       QStringLiteral("-n"),
                       QStringLiteral("--daemonize=no"),
                       QStringLiteral("--exit-idle-time=-1"),
                       QStringLiteral("--use-pid-file=false"),
                       QStringLiteral("--log-target=stderr"),
                       QStringLiteral("--log-level=error"),
                       QStringLiteral("--load=module-null-sink sink_name=%1 rate=%2 channels=1 format=s16le")
                           .arg(QLatin1String(SinkName))
                           .arg(Rate),
                       QStringLiteral("--load=module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket()),
                   });
    if (!m_daemon.waitForStarted()) {
        m_failure = QStringLiteral("pulseaudio did not start: ") + m_daemon.errorString();
        return;
    }
    const QDeadlineTimer deadline(StartMilliseconds);
    while (!deadline.hasExpired() && m_daemon.state() == QProcess::Running) {
        if (QFile::exists(socket()) && answers()) {
            m_running = true;
            return;
        }
        m_daemon.waitForFinished(50);
    }
    m_failure = QStringLiteral("pulseaudio did not answer: ") + QString::fromLocal8Bit(m_daemon.readAll());
    kill();
}

PulseServer::~PulseServer()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(StopMilliseconds))
            kill();
    }
}

void PulseServer::kill()
{
    m_running = false;
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.kill();
    m_daemon.waitForFinished(StopMilliseconds);
}

bool PulseServer::answers()
{
    QProcess pactl;
    pactl.setProcessEnvironment(clientEnvironment());
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")});
    return pactl.waitForFinished(StopMilliseconds) && pactl.exitCode() == 0
        && pactl.readAllStandardOutput().contains(SinkName);
}

QString PulseServer::socket() const
{
    return path(QStringLiteral("native"));
}

QString PulseServer::monitorName() const
{
    return QLatin1String(SinkName) + QStringLiteral(".monitor");
}

QProcessEnvironment PulseServer::clientEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A desktop's server is found through these; this one is named outright.
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SINK", "PULSE_SOURCE",
                             "PULSE_COOKIE", "PULSE_PROP"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), path(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("PULSE_STATE_PATH"), path(QStringLiteral("state")));
    environment.insert(QStringLiteral("PULSE_CLIENTCONFIG"), path(QStringLiteral("client.conf")));
    environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + socket());
    return environment;
}

QProcessEnvironment PulseServer::environmentWithoutServer() const
{
    QProcessEnvironment environment = clientEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + path(QStringLiteral("nobody")));
    return environment;
}
