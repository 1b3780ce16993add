#pragma once

#include "cueplayer.h"
#include "cuesource.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QThread>

#include <atomic>

class CueOutput;

// The cues played through the default sound output. The nine recordings are
// read when the player is made; open() then, on a thread of the player's
// own, decodes them for the output and keeps one stream on it open for the
// life of the player, topped up every few milliseconds with the current cue
// or silence. So a cue sounds as soon as it is asked for, whatever the game's
// thread is busy with, and a new cue replaces the one sounding at once (the
// newest always wins). Without an output, or once it has failed, the cues
// are silent: nothing is shown, thrown or waited for.
class AudioCuePlayer : public QObject, public CuePlayer
{
    Q_OBJECT

public:
    // The delay the server is asked for in all, its buffer and the output's
    // own together (PulseAudio splits it): a cue is heard about this long
    // after it is asked for at most, and a stall of the output's thread
    // nearly as long is heard as a gap.
    static constexpr int BufferMilliseconds = 50;
    // How often the stream is topped up.
    static constexpr int FillMilliseconds = 5;

    explicit AudioCuePlayer(QObject *parent = nullptr);
    ~AudioCuePlayer() override;

    // Starts opening the default output and returns at once; opened() tells
    // how it went. A cue asked for before the output is open starts when it
    // opens. Later calls do nothing.
    void open();
    // True while the output plays.
    bool isOpen() const { return m_open; }
    // What the output was opened with: invalid, and 0, until it is.
    QAudioFormat format() const { return m_format; }
    qsizetype bufferSize() const { return m_bufferSize; }

    // Starts the cue and returns at once; the same cue again starts it anew.
    void playsounds(Cue cue) override;

    // A PCM WAV recording (8 or 16 bits, any rate, one or two channels) as
    // 16-bit samples in `format`'s rate and channel count; empty for anything
    // else. Rates are converted by linear interpolation, a mono recording is
    // copied to every channel and a stereo one is mixed down for mono.
    static QByteArray decode(const QByteArray &wave, const QAudioFormat &format);

signals:
    // Once, when opening has ended: true when the output plays.
    void opened(bool playing);

private:
    friend class CueOutput;
    void outputOpened(const QAudioFormat &format, qsizetype bufferSize);
    void outputLost();

    CueSource::Sounds m_recordings; // the WAV files as compiled in
    CueSource m_source;
    QThread m_thread;
    CueOutput *m_output = nullptr; // lives on m_thread
    QAudioFormat m_format;
    qsizetype m_bufferSize = 0;
    bool m_open = false;
    bool m_opening = false;
    std::atomic<bool> m_streamed{false}; // a stream was opened, on the output's thread
};
