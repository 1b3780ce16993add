#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A PulseAudio daemon of the test's own, so that cues go to a real sound
// server and can be recorded: one null sink, mono at 44100 Hz, reached only
// through a socket in a temporary folder. The daemon reads none of the user's
// configuration, touches no session bus, and ends with this object, or with
// the test process should that die first. Tests running side by side each
// get their own daemon.
class PulseServer
{
public:
    static constexpr int Rate = 44100;
    static constexpr auto SinkName = "tarvle_cues";

    // Starts the daemon and waits until it answers; see isRunning().
    PulseServer();
    ~PulseServer();

    bool isRunning() const { return m_running; }
    // Why the daemon did not start, with what it printed.
    QString failure() const { return m_failure; }

    QString socket() const;
    QString monitorName() const;
    // An environment in which a libpulse client (the player, parec, pactl)
    // reaches this daemon and no other, and never starts one of its own.
    QProcessEnvironment clientEnvironment() const;
    // The same, pointed at a socket where no server listens.
    QProcessEnvironment environmentWithoutServer() const;

    // Ends the daemon at once, as a crashed or closed sound server would go.
    void kill();

private:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    bool answers();

    QTemporaryDir m_folder;
    QProcess m_daemon;
    bool m_running = false;
    QString m_failure;
};
