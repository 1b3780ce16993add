#include "soundeffectplayer.h"

#include <QAudioDevice>
#include <QtAlgorithms>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QUrl>

namespace {

constexpr int PcmFormat = 1;
constexpr qsizetype MinFormatSize = 16;

quint32 readLittleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

void appendLittleEndian(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// A chunk: id, size, body, and a pad byte after an odd-sized body.
void appendChunk(QByteArray &out, const char *id, const QByteArray &body)
{
    out.append(id, 4);
    appendLittleEndian(out, quint32(body.size()), 4);
    out.append(body);
    if (body.size() % 2 != 0)
        out.append('\0');
}

} // namespace

SoundEffectPlayer::SoundEffectPlayer(QObject *parent)
    : QObject(parent)
{
    // With no output device each effect would print a warning of its own and
    // then report itself playing for ever; the cues simply stay silent instead.
    const bool hasOutput = !QMediaDevices::audioOutputs().isEmpty();
    if (hasOutput)
        m_copies = std::make_unique<QTemporaryDir>();
    for (const Cue cue : AllCues) {
        QSoundEffect *effect = nullptr;
        if (hasOutput) {
            // Loaded now, so the first cue of each kind starts without a delay.
            effect = new QSoundEffect(this);
            effect->setSource(sourceFor(cueName(cue)));
        }
        m_effects.insert(cue, effect);
    }
}

SoundEffectPlayer::~SoundEffectPlayer()
{
    // The effects go before the folder that holds their copies.
    qDeleteAll(m_effects);
}

void SoundEffectPlayer::playsounds(Cue cue)
{
    m_lastStarted = cueName(cue);
    QSoundEffect *effect = m_effects.value(cue);
    if (!effect)
        return;
    // Only one cue sounds at a time; stopping first also restarts a cue that
    // is asked for again while it plays.
    if (m_current)
        m_current->stop();
    effect->play();
    m_current = effect;
}

// The padded copy in the temporary folder, or the resource itself if the
// copy cannot be made (the cue then only loses its last moment).
QUrl SoundEffectPlayer::sourceFor(const QString &name)
{
    const QString resource = QStringLiteral(":/sounds/%1.wav").arg(name);
    QFile original(resource);
    if (m_copies && m_copies->isValid() && original.open(QIODevice::ReadOnly)) {
        const QByteArray padded = withTrailingSilence(original.readAll(), TailMilliseconds);
        const QString path = m_copies->filePath(name + QStringLiteral(".wav"));
        QFile copy(path);
        if (!padded.isEmpty() && copy.open(QIODevice::WriteOnly) && copy.write(padded) == padded.size()
            && copy.flush())
            return QUrl::fromLocalFile(path);
    }
    return QUrl(QStringLiteral("qrc") + resource);
}

QByteArray SoundEffectPlayer::withTrailingSilence(const QByteArray &wave, int milliseconds)
{
    if (wave.size() < 12 || !wave.startsWith("RIFF") || wave.mid(8, 4) != "WAVE")
        return {};
    QByteArray format;
    QByteArray data;
    bool hasData = false;
    for (qsizetype at = 12; at + 8 <= wave.size();) {
        const QByteArray id = wave.mid(at, 4);
        const qsizetype size = readLittleEndian(wave, at + 4, 4);
        if (size > wave.size() - at - 8)
            return {};
        if (id == "fmt ") {
            format = wave.mid(at + 8, size);
        } else if (id == "data") {
            data = wave.mid(at + 8, size);
            hasData = true;
        }
        at += 8 + size + size % 2;
    }
    if (format.size() < MinFormatSize || !hasData || readLittleEndian(format, 0, 2) != PcmFormat)
        return {};
    const int rate = int(readLittleEndian(format, 4, 4));
    const int blockAlign = int(readLittleEndian(format, 12, 2));
    const int bits = int(readLittleEndian(format, 14, 2));
    if (rate <= 0 || blockAlign <= 0)
        return {};

    // Whole frames only, so the silence lines up with the channels.
    data.truncate(data.size() - data.size() % blockAlign);
    const qsizetype frames = qsizetype(rate) * milliseconds / 1000;
    // 8-bit samples are unsigned around 128; wider ones are signed around 0.
    data.append(QByteArray(frames * blockAlign, bits == 8 ? char(0x80) : char(0)));

    QByteArray body = "WAVE";
    appendChunk(body, "fmt ", format);
    appendChunk(body, "data", data);
    QByteArray out;
    appendChunk(out, "RIFF", body);
    return out;
}
