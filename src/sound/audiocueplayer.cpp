#include "audiocueplayer.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <QWaveDecoder>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include <pthread.h>
#include <sched.h>

namespace {

constexpr int SettleMilliseconds = 100;
constexpr int RealTimePriority = 3;

// Qt's sound back end reports a missing or failing server on standard error
// by itself. The cues are meant to go silent then, so while a player is open
// everything said on its output's thread, which runs nothing but the back
// end, is dropped, and so are the back end's own lines from the sound
// server's thread; everything else is passed on.
std::atomic<QThread *> quietThread{nullptr};
QtMessageHandler passedOn = nullptr;

bool isQuiet(const QString &message)
{
    if (QThread::currentThread() == quietThread.load())
        return true;
    // Some lines come quoted, as qDebug prints a string.
    const QStringView text = QStringView(message).mid(message.startsWith(QLatin1Char('"')) ? 1 : 0);
    return text.startsWith(QLatin1String("Stream error:")) || text.startsWith(QLatin1String("PulseAudioService:"));
}

void dropQuiet(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!isQuiet(message) && passedOn)
        passedOn(type, context, message);
}

// The samples of a decoded recording, channel by channel, as values around 0
// on the 16-bit scale.
std::vector<std::vector<double>> channelsOf(const QByteArray &pcm, const QAudioFormat &format)
{
    const int channels = format.channelCount();
    const int width = format.bytesPerSample();
    const qsizetype frames = pcm.size() / (qsizetype(channels) * width);
    std::vector<std::vector<double>> out(size_t(channels), std::vector<double>(size_t(frames), 0.0));
    const auto *bytes = reinterpret_cast<const uchar *>(pcm.constData());
    for (qsizetype frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < channels; ++channel) {
            const uchar *at = bytes + (frame * channels + channel) * width;
            // 8-bit WAV samples are unsigned around 128; 16-bit ones signed little-endian.
            const double value = width == 1 ? (int(at[0]) - 128) * 256.0 : double(qint16(at[0] | (at[1] << 8)));
            out[size_t(channel)][size_t(frame)] = value;
        }
    }
    return out;
}

} // namespace

// The output side of the player, on the player's thread: opens the sink,
// keeps the server's buffer full from the source and drops the sink when it
// fails.
class CueOutput : public QObject
{
public:
    CueOutput(AudioCuePlayer &player, const CueSource::Sounds &recordings)
        : m_player(player)
        , m_recordings(recordings)
    {
    }

    ~CueOutput() override
    {
        if (m_sink) {
            m_sink->disconnect(this);
            m_sink->stop();
        }
    }

    void open()
    {
        preferRealTime();
        if (!start()) {
            drop();
            QMetaObject::invokeMethod(&m_player, [player = &m_player] { player->outputLost(); });
            return;
        }
        const QAudioFormat format = m_sink->format();
        const qsizetype bufferSize = m_sink->bufferSize();
        QMetaObject::invokeMethod(&m_player, [player = &m_player, format, bufferSize] {
            player->outputOpened(format, bufferSize);
        });
    }

private:
    // Sound that must not stall asks for the round-robin real-time class at
    // a low priority, below the sound server's own, as its clients do. Where
    // the system allows none (an ordinary user without a real-time allowance)
    // the thread stays as it is; the buffer covers the usual stalls.
    static void preferRealTime()
    {
        sched_param parameter{};
        parameter.sched_priority = RealTimePriority;
        pthread_setschedparam(pthread_self(), SCHED_RR, &parameter);
    }

    bool start()
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return false;
        // The device's own rate and channels spare the server a conversion;
        // two channels at most, which is all the recordings have.
        QAudioFormat format = device.preferredFormat();
        format.setSampleFormat(QAudioFormat::Int16);
        format.setChannelCount(std::clamp(format.channelCount(), 1, 2));
        if (format.sampleRate() <= 0)
            format.setSampleRate(44100);
        if (!device.isFormatSupported(format))
            return false;

        CueSource::Sounds sounds;
        for (size_t cue = 0; cue < sounds.size(); ++cue)
            sounds[cue] = AudioCuePlayer::decode(m_recordings[cue], format);

        m_sink = new QAudioSink(device, format, this);
        m_sink->setBufferSize(qsizetype(format.bytesForDuration(AudioCuePlayer::BufferMilliseconds * 1000)));
        m_device = m_sink->start();
        if (m_device)
            m_player.m_streamed = true;
        if (!m_device || m_sink->state() == QAudio::StoppedState)
            return false;
        // The server loses a little of what a new stream starts with, so it
        // starts with a buffer of silence, and a cue asked for before follows.
        const qsizetype room = m_sink->bytesFree();
        m_device->write(QByteArray(room - room % format.bytesPerFrame(), '\0'));
        m_player.m_source.setSounds(sounds, format.bytesPerFrame());
        // A server that goes away stops the sink for good.
        connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState) {
                drop();
                QMetaObject::invokeMethod(&m_player, [player = &m_player] { player->outputLost(); });
            }
        });
        m_timer = new QTimer(this);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, &CueOutput::fill);
        m_timer->start(AudioCuePlayer::FillMilliseconds);
        fill();
        return true;
    }

    // Hands the server as much as it has room for: the server never runs
    // dry, and never holds more than its buffer ahead of the newest cue.
    void fill()
    {
        if (!m_device)
            return;
        const qsizetype room = m_sink->bytesFree();
        if (room <= 0)
            return;
        m_chunk.resize(room);
        const qsizetype size = m_player.m_source.read(m_chunk.data(), room);
        if (size > 0)
            m_device->write(m_chunk.constData(), size);
    }

    void drop()
    {
        if (m_timer)
            m_timer->stop();
        m_device = nullptr;
        if (m_sink) {
            m_sink->disconnect(this);
            // It may be inside one of its own signals.
            m_sink->deleteLater();
            m_sink = nullptr;
        }
    }

    AudioCuePlayer &m_player;
    const CueSource::Sounds m_recordings;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_device = nullptr; // the sink's, while it plays
    QTimer *m_timer = nullptr;
    QByteArray m_chunk;
};

AudioCuePlayer::AudioCuePlayer(QObject *parent)
    : QObject(parent)
{
    for (const Cue cue : AllCues) {
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(cueName(cue)));
        if (file.open(QIODevice::ReadOnly))
            m_recordings[size_t(cue)] = file.readAll();
    }
    m_thread.setObjectName(QStringLiteral("cues"));
}

AudioCuePlayer::~AudioCuePlayer()
{
    // The output goes with its thread, and takes the stream with it.
    m_thread.quit();
    m_thread.wait();
    // Qt's sound back end leaves the server at exit without holding its own
    // lock and aborts if the server reports a change to a device just then,
    // as it does right after a stream has closed; so that report is let in
    // first.
    if (m_streamed)
        QThread::msleep(SettleMilliseconds);
    if (quietThread.load() == &m_thread) {
        qInstallMessageHandler(passedOn);
        quietThread = nullptr;
    }
}

void AudioCuePlayer::open()
{
    if (m_opening)
        return;
    m_opening = true;
    m_output = new CueOutput(*this, m_recordings);
    m_output->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_output, &QObject::deleteLater);
    if (!quietThread.load()) {
        quietThread = &m_thread;
        passedOn = qInstallMessageHandler(dropQuiet);
    }
    m_thread.start();
    QMetaObject::invokeMethod(m_output, [output = m_output] { output->open(); });
}

void AudioCuePlayer::outputOpened(const QAudioFormat &format, qsizetype bufferSize)
{
    m_format = format;
    m_bufferSize = bufferSize;
    m_open = true;
    emit opened(true);
}

void AudioCuePlayer::outputLost()
{
    const bool wasOpen = m_open;
    m_open = false;
    m_format = QAudioFormat();
    m_bufferSize = 0;
    if (!wasOpen)
        emit opened(false);
}

void AudioCuePlayer::playsounds(Cue cue)
{
    m_source.play(cue);
}

QByteArray AudioCuePlayer::decode(const QByteArray &wave, const QAudioFormat &format)
{
    if (!format.isValid() || format.sampleFormat() != QAudioFormat::Int16)
        return {};
    QBuffer buffer;
    buffer.setData(wave);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QWaveDecoder decoder(&buffer);
    if (!decoder.open(QIODevice::ReadOnly))
        return {};
    const QAudioFormat in = decoder.audioFormat();
    if (!in.isValid() || (in.sampleFormat() != QAudioFormat::UInt8 && in.sampleFormat() != QAudioFormat::Int16)
        || in.channelCount() < 1 || in.channelCount() > 2)
        return {};
    const std::vector<std::vector<double>> source = channelsOf(decoder.readAll(), in);
    const auto inFrames = qsizetype(source.front().size());
    if (inFrames == 0)
        return {};

    const int channels = format.channelCount();
    const double step = double(in.sampleRate()) / format.sampleRate();
    const auto outFrames = qsizetype(std::llround(double(inFrames) / step));
    QByteArray out(outFrames * channels * qsizetype(sizeof(qint16)), Qt::Uninitialized);
    auto *samples = reinterpret_cast<qint16 *>(out.data());
    for (qsizetype frame = 0; frame < outFrames; ++frame) {
        const double at = double(frame) * step;
        const auto before = std::min(qsizetype(at), inFrames - 1);
        const qsizetype after = std::min(before + 1, inFrames - 1);
        const double weight = at - double(before);
        const auto sampleOf = [&](const std::vector<double> &channel) {
            return channel[size_t(before)] * (1.0 - weight) + channel[size_t(after)] * weight;
        };
        for (int channel = 0; channel < channels; ++channel) {
            double value = 0.0;
            if (channels == 1) {
                for (const std::vector<double> &from : source)
                    value += sampleOf(from);
                value /= double(source.size());
            } else {
                value = sampleOf(source[std::min(size_t(channel), source.size() - 1)]);
            }
            samples[frame * channels + channel] = qint16(std::clamp(std::lround(value), -32768L, 32767L));
        }
    }
    return out;
}
