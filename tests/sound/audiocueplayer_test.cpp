// The recordings as the player hands them to the sound output: 16-bit
// samples in the output's rate and channels, read from the WAV files as a
// WAV reader reads them. (The player on a real server is tested in
// pulseaudio_test.)

#include "audiocueplayer.h"
#include "wavefile.h"

#include <QAudioFormat>
#include <QFile>
#include <QLatin1String>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr const char *CueNames[] = {
    "entered", "turnnew", "click", "invalid", "goodword", "clear", "rotate", "tick", "gameover",
};

QAudioFormat output(int rate, int channels)
{
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

QByteArray resource(const char *name)
{
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<qint16> samplesOf(const QByteArray &pcm)
{
    const auto *values = reinterpret_cast<const qint16 *>(pcm.constData());
    return std::vector<qint16>(values, values + pcm.size() / qsizetype(sizeof(qint16)));
}

// A recording's sample on the 16-bit scale, its channels mixed.
double monoAt(const WaveFile &wave, qsizetype frame)
{
    double sum = 0.0;
    for (int channel = 0; channel < wave.channels; ++channel) {
        const int sample = wave.samples[size_t(frame * wave.channels + channel)];
        sum += wave.bits == 8 ? (sample - 128) * 256.0 : double(sample);
    }
    return sum / wave.channels;
}

// Each cue comes out as long as the recording, in the output's rate; where
// an output frame falls on a recorded one it holds that frame's value
// exactly, and in between a value between its two neighbours.
TEST(AudioCuePlayerDecode, keepsEveryRecordingAtTheOutputsRate)
{
    for (const char *name : CueNames) {
        SCOPED_TRACE(name);
        WaveFile wave;
        ASSERT_NO_FATAL_FAILURE(loadCue(name, wave));
        for (const int rate : {44100, 48000, 22050}) {
            SCOPED_TRACE(rate);
            const std::vector<qint16> out = samplesOf(AudioCuePlayer::decode(resource(name), output(rate, 1)));
            const double step = double(wave.rate) / rate;
            ASSERT_EQ(qsizetype(out.size()), qsizetype(std::llround(double(wave.frames()) / step)));
            for (qsizetype frame = 0; frame < qsizetype(out.size()); ++frame) {
                const double at = double(frame) * step;
                const auto before = qsizetype(at);
                const qsizetype after = std::min(before + 1, wave.frames() - 1);
                const double low = std::min(monoAt(wave, before), monoAt(wave, after));
                const double high = std::max(monoAt(wave, before), monoAt(wave, after));
                if (at == double(before))
                    ASSERT_NEAR(out[size_t(frame)], monoAt(wave, before), 0.5) << "frame " << frame;
                else
                    ASSERT_TRUE(out[size_t(frame)] >= low - 0.5 && out[size_t(frame)] <= high + 0.5)
                        << "frame " << frame;
            }
        }
    }
}

// At the recording's own rate a 16-bit mono cue comes out unchanged, and an
// 8-bit one exactly scaled: nothing is filtered or lost on the way.
TEST(AudioCuePlayerDecode, leavesARecordingAtItsOwnRateUnchanged)
{
    for (const char *name : {"click", "tick", "turnnew"}) {
        SCOPED_TRACE(name);
        WaveFile wave;
        ASSERT_NO_FATAL_FAILURE(loadCue(name, wave));
        ASSERT_EQ(wave.rate, 44100);
        const std::vector<qint16> out = samplesOf(AudioCuePlayer::decode(resource(name), output(44100, 1)));
        ASSERT_EQ(qsizetype(out.size()), wave.frames());
        for (qsizetype i = 0; i < wave.frames(); ++i)
            ASSERT_EQ(out[size_t(i)], wave.bits == 8 ? (wave.samples[size_t(i)] - 128) * 256 : wave.samples[size_t(i)]);
    }
}

// A mono cue sounds the same on both channels of a stereo output; a stereo
// cue keeps its two channels there, and is mixed down for a mono output.
TEST(AudioCuePlayerDecode, mapsChannelsToTheOutput)
{
    WaveFile click;
    ASSERT_NO_FATAL_FAILURE(loadCue("click", click));
    const std::vector<qint16> wide = samplesOf(AudioCuePlayer::decode(resource("click"), output(44100, 2)));
    ASSERT_EQ(qsizetype(wide.size()), 2 * click.frames());
    for (qsizetype i = 0; i < click.frames(); ++i) {
        ASSERT_EQ(wide[size_t(2 * i)], click.samples[size_t(i)]);
        ASSERT_EQ(wide[size_t(2 * i + 1)], click.samples[size_t(i)]);
    }

    WaveFile invalid;
    ASSERT_NO_FATAL_FAILURE(loadCue("invalid", invalid));
    ASSERT_EQ(invalid.channels, 2);
    const std::vector<qint16> both = samplesOf(AudioCuePlayer::decode(resource("invalid"), output(11025, 2)));
    ASSERT_EQ(both.size(), invalid.samples.size());
    for (size_t i = 0; i < both.size(); ++i)
        ASSERT_EQ(both[i], invalid.samples[i]);
    const std::vector<qint16> mixed = samplesOf(AudioCuePlayer::decode(resource("invalid"), output(11025, 1)));
    ASSERT_EQ(qsizetype(mixed.size()), invalid.frames());
    for (qsizetype i = 0; i < invalid.frames(); ++i)
        ASSERT_NEAR(mixed[size_t(i)], monoAt(invalid, i), 0.5);
}

// Anything that is no PCM WAV file, or an output that is not 16-bit, gives
// nothing to play.
TEST(AudioCuePlayerDecode, refusesWhatItCannotPlay)
{
    const QByteArray good = resource("click");
    ASSERT_FALSE(AudioCuePlayer::decode(good, output(44100, 1)).isEmpty());

    QByteArray floating = good;
    floating[20] = 3; // IEEE float, 32 bits
    floating[32] = 4;
    floating[34] = 32;
    QByteArray compressed = good;
    compressed[20] = 2; // ADPCM
    QByteArray notWave = good;
    notWave.replace(8, 4, "AVI ");
    for (const QByteArray &bad : {QByteArray(), QByteArray("RIFF"), good.left(36), floating, compressed, notWave})
        EXPECT_TRUE(AudioCuePlayer::decode(bad, output(44100, 1)).isEmpty()) << bad.left(16).toHex().constData();

    QAudioFormat floatOutput = output(44100, 1);
    floatOutput.setSampleFormat(QAudioFormat::Float);
    EXPECT_TRUE(AudioCuePlayer::decode(good, floatOutput).isEmpty());
    EXPECT_TRUE(AudioCuePlayer::decode(good, QAudioFormat()).isEmpty());
}

} // namespace
