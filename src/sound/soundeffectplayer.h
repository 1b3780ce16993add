#pragma once

#include "cueplayer.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QSoundEffect;
class QTemporaryDir;
class QUrl;

// The cues played through the default sound device. Every cue is loaded once,
// up front, from the resource :/sounds/<name>.wav. Starting a cue cuts off
// the one still sounding, so the newest always wins. Without a device the
// cues stay silent: nothing is shown, thrown or waited for.
class SoundEffectPlayer : public QObject, public CuePlayer
{
    Q_OBJECT

public:
    // Silence played after each cue; see withTrailingSilence().
    static constexpr int TailMilliseconds = 250;

    explicit SoundEffectPlayer(QObject *parent = nullptr);
    ~SoundEffectPlayer() override;

    // Starts the cue and returns at once.
    void playsounds(Cue cue) override;

    // The name of the cue started last, empty until one is.
    QString lastStarted() const { return m_lastStarted; }

    // A PCM WAV file with `milliseconds` of silence added after its sound, as
    // a plain RIFF file with just its format and data chunks; empty when the
    // input is not a PCM WAV file. When an effect reaches its end the sound
    // server drops what it still holds (about the last tenth of a second), and
    // a sound shorter than the server's pre-buffer never starts at all; so
    // the cues are played from such copies and only the silence is lost.
    static QByteArray withTrailingSilence(const QByteArray &wave, int milliseconds);

private:
    QUrl sourceFor(const QString &name);

    std::unique_ptr<QTemporaryDir> m_copies;
    QHash<Cue, QSoundEffect *> m_effects; // null effects when there is no output device
    QSoundEffect *m_current = nullptr;
    QString m_lastStarted;
};
