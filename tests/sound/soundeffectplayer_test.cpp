// The sound output: cues start by name and never hold the caller up, with or
// without a sound device (the test machines have none).

#include "soundeffectplayer.h"
#include "wavefile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QLatin1String>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Plays a cue by its name, as the names of the recordings give them; any
// other text plays nothing.
void play(SoundEffectPlayer &player, const QString &name)
{
    if (const std::optional<Cue> cue = cueNamed(name))
        player.playsounds(*cue);
}

constexpr const char *CueNames[] = {
    "entered", "turnnew", "click", "invalid", "goodword", "clear", "rotate", "tick", "gameover",
};

// Every cue the game uses starts by its name and becomes the one started last.
TEST(SoundEffectPlayer, startsEveryCueByName)
{
    SoundEffectPlayer player;
    EXPECT_TRUE(player.lastStarted().isEmpty());
    for (const char *name : CueNames) {
        play(player, QString::fromLatin1(name));
        EXPECT_EQ(player.lastStarted(), QString::fromLatin1(name));
    }
}

// A name that is no cue is ignored: it neither starts nor replaces anything.
TEST(SoundEffectPlayer, ignoresUnknownNames)
{
    SoundEffectPlayer player;
    play(player, QStringLiteral("fanfare"));
    EXPECT_TRUE(player.lastStarted().isEmpty());

    play(player, QStringLiteral("tick"));
    for (const QString &name : {QString(), QStringLiteral("Tick"), QStringLiteral("tick "),
                                QStringLiteral("tick.wav"), QStringLiteral(":/sounds/tick.wav")}) {
        play(player, name);
        EXPECT_EQ(player.lastStarted(), QStringLiteral("tick")) << qPrintable(name);
    }
}

// Cues back to back, repeated while still sounding, with the event loop running
// between them as in the game, go through without error; the newest is the
// one that counts.
TEST(SoundEffectPlayer, takesCuesBackToBack)
{
    SoundEffectPlayer player;
    for (int round = 0; round < 3; ++round) {
        for (const char *name : CueNames) {
            EXPECT_NO_THROW(play(player, QString::fromLatin1(name)));
            EXPECT_NO_THROW(play(player, QString::fromLatin1(name)));
            QCoreApplication::processEvents();
        }
    }
    play(player, QStringLiteral("click"));
    play(player, QStringLiteral("goodword"));
    EXPECT_EQ(player.lastStarted(), QStringLiteral("goodword"));
}

// A player can go away while its cue is still sounding, and another can take
// its place.
TEST(SoundEffectPlayer, canBeReplacedWhilePlaying)
{
    auto first = std::make_unique<SoundEffectPlayer>();
    play(*first, QStringLiteral("gameover"));
    QCoreApplication::processEvents();
    first.reset();

    SoundEffectPlayer second;
    play(second, QStringLiteral("entered"));
    QCoreApplication::processEvents();
    EXPECT_EQ(second.lastStarted(), QStringLiteral("entered"));
}

// The copy a cue is played from is the recording, unchanged, followed by
// the given stretch of silence in the recording's own format, as a file whose
// chunk sizes add up (including the pad byte after an odd-sized data chunk).
TEST(SoundEffectPlayerTail, addsSilenceAfterEachRecording)
{
    for (const char *name : CueNames) {
        SCOPED_TRACE(name);
        WaveFile original;
        ASSERT_NO_FATAL_FAILURE(loadCue(name, original));
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));

        WaveFile padded;
        ASSERT_NO_FATAL_FAILURE(parseWave(SoundEffectPlayer::withTrailingSilence(file.readAll(), 250), padded));
        EXPECT_EQ(padded.riffSize, quint32(padded.fileSize - 8));
        EXPECT_EQ(padded.formatTag, original.formatTag);
        EXPECT_EQ(padded.channels, original.channels);
        EXPECT_EQ(padded.rate, original.rate);
        EXPECT_EQ(padded.byteRate, original.byteRate);
        EXPECT_EQ(padded.blockAlign, original.blockAlign);
        EXPECT_EQ(padded.bits, original.bits);

        ASSERT_EQ(padded.frames(), original.frames() + original.rate / 4);
        EXPECT_TRUE(std::equal(original.samples.begin(), original.samples.end(), padded.samples.begin()));
        const int silence = original.bits == 8 ? 128 : 0;
        EXPECT_TRUE(std::all_of(padded.samples.begin() + qsizetype(original.samples.size()), padded.samples.end(),
                                [silence](int sample) { return sample == silence; }));
    }
}

// Anything that is not a PCM WAV file, or whose chunks do not fit in it, gives
// no copy (the player then plays the recording as it is).
TEST(SoundEffectPlayerTail, refusesWhatIsNoPcmWave)
{
    QFile file(QStringLiteral(":/sounds/click.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    ASSERT_FALSE(SoundEffectPlayer::withTrailingSilence(good, 250).isEmpty());

    QByteArray notPcm = good;
    notPcm[20] = 3; // IEEE float
    QByteArray notWave = good;
    notWave.replace(8, 4, "AVI ");
    QByteArray overlong = good;
    overlong[40] = char(0xFF); // the data chunk's size runs past the end
    overlong[41] = char(0xFF);
    overlong[42] = char(0xFF);
    for (const QByteArray &bad : {QByteArray(), QByteArray("RIFF"), good.left(36), notPcm, notWave, overlong})
        EXPECT_TRUE(SoundEffectPlayer::withTrailingSilence(bad, 250).isEmpty()) << bad.left(16).toHex().constData();
}

} // namespace
