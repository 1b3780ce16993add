#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QtGlobal>

#include <mutex>
#include <thread>
#include <vector>

// What a sink of a sound server plays, recorded from its monitor by parec as
// mono 16-bit samples, with the time at which each piece came in. A frame is
// mixed no later than it arrives here, so the earliest arrival relative to
// its place ties the frames around it to the monotonic clock: timeOf() is
// late by parec's smallest delay at most, never early. The null sink's clock
// drifts from the monotonic one (by some 180 parts per million over a whole
// game here), so each frame is tied by the arrivals of the few seconds
// around it only.
class MonitorRecording
{
public:
    // Starts parec on `source` in `environment`; see isRunning().
    MonitorRecording(const QProcessEnvironment &environment, const QString &source, int rate);
    ~MonitorRecording();

    bool isRunning() const { return m_pid > 0; }
    int rate() const { return m_rate; }

    // Waits until that many frames have come in; false when parec ends or
    // they do not come within a few seconds.
    bool waitForFrames(qsizetype frames);
    // Ends parec and keeps what it recorded.
    void stop();

    qsizetype frames() const;
    std::vector<qint16> samples() const;
    // Nanoseconds on the monotonic clock at which the frame was mixed.
    double timeOf(double frame) const;
    // The frame mixed at that time.
    double frameAt(double nanoseconds) const;

private:
    void read(int fd);
    // The monotonic time of frame 0, as the arrivals near `frame` put it.
    double offsetNear(double frame) const;

    int m_rate;
    int m_pid = -1;
    int m_fd = -1;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::vector<char> m_bytes;
    struct Arrival {
        long long nanoseconds;
        qsizetype frames; // all frames in by then
    };
    std::vector<Arrival> m_arrivals;
    bool m_ended = false;
};
