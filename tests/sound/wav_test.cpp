// The nine built-in sound cues, read back from the resources as a WAV reader
// would read them.

#include "wavefile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

namespace {

struct CueFormat {
    const char *name;
    int rate;
    int channels;
    int bits;
    double seconds;
};

void PrintTo(const CueFormat &cue, std::ostream *out)
{
    *out << cue.name;
}

constexpr CueFormat Cues[] = {
    {"entered", 11025, 1, 8, 0.79},
    {"turnnew", 44100, 1, 8, 0.43},
    {"click", 44100, 1, 16, 0.26},
    {"invalid", 11025, 2, 16, 0.80},
    {"goodword", 22050, 1, 8, 0.72},
    {"clear", 44100, 1, 16, 0.22},
    {"rotate", 11025, 1, 16, 0.29},
    {"tick", 44100, 1, 16, 0.10},
    {"gameover", 22050, 1, 8, 1.06},
};

constexpr double LengthTolerance = 0.02; // seconds
constexpr int MaxRunAtLimit = 2;         // consecutive samples at full scale
constexpr double MinPeak = 0.5;          // about -6 dBFS
constexpr double MaxPeak = 0.9;          // about -1 dBFS
constexpr double MaxDcOffset = 0.01;
constexpr double EdgeLevel = 0.02;       // near silence: the first and last frames
constexpr double StartWindow = 0.001;    // seconds in which a cue may only begin to rise
constexpr double StartLevel = 0.1;
constexpr double EndWindow = 0.005;      // seconds over which a cue must already be gone
constexpr double EndLevel = 0.02;

// Peak of one channel over frames [from, to).
double peak(const WaveFile &wave, int channel, qsizetype from, qsizetype to)
{
    double result = 0.0;
    for (qsizetype frame = from; frame < to; ++frame)
        result = std::max(result, std::abs(wave.level(wave.samples[frame * wave.channels + channel])));
    return result;
}

class CueRecording : public ::testing::TestWithParam<CueFormat>
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(loadCue(GetParam().name, m_wave)); }

    qsizetype frames() const { return m_wave.frames(); }

    WaveFile m_wave;
};

// Each cue is plain PCM in its own rate, channel count, sample size and
// length, and the chunk sizes add up to the file.
TEST_P(CueRecording, hasItsFormatAndLength)
{
    const CueFormat &cue = GetParam();
    EXPECT_EQ(m_wave.riffSize, quint32(m_wave.fileSize - 8));
    EXPECT_EQ(m_wave.formatTag, 1);
    EXPECT_EQ(m_wave.rate, cue.rate);
    EXPECT_EQ(m_wave.channels, cue.channels);
    EXPECT_EQ(m_wave.bits, cue.bits);
    EXPECT_EQ(m_wave.blockAlign, cue.channels * cue.bits / 8);
    EXPECT_EQ(m_wave.byteRate, cue.rate * m_wave.blockAlign);
    ASSERT_GT(m_wave.blockAlign, 0);
    EXPECT_EQ(m_wave.dataSize % quint32(m_wave.blockAlign), 0u) << "a partial frame at the end";
    const double seconds = double(m_wave.dataSize) / (double(cue.rate) * cue.channels * (cue.bits / 8));
    EXPECT_NEAR(seconds, cue.seconds, LengthTolerance);
}

// The cue is clearly audible, peaks a little below full scale, never clips
// and sits centred on silence.
TEST_P(CueRecording, isAudibleWithoutClipping)
{
    ASSERT_GT(frames(), 0);
    for (int channel = 0; channel < m_wave.channels; ++channel) {
        SCOPED_TRACE(testing::Message() << "channel " << channel);
        const double top = peak(m_wave, channel, 0, frames());
        EXPECT_GE(top, MinPeak);
        EXPECT_LE(top, MaxPeak);

        int run = 0;
        int longestRun = 0;
        double sum = 0.0;
        for (qsizetype frame = 0; frame < frames(); ++frame) {
            const int sample = m_wave.samples[frame * m_wave.channels + channel];
            run = m_wave.atLimit(sample) ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
            sum += m_wave.level(sample);
        }
        EXPECT_LE(longestRun, MaxRunAtLimit);
        EXPECT_LE(std::abs(sum / double(frames())), MaxDcOffset);
    }
}

// The cue starts and stops at silence, rising from it and fading back into
// it, so starting or cutting it off makes no click.
TEST_P(CueRecording, beginsAndEndsAtSilence)
{
    const qsizetype startFrames = qsizetype(StartWindow * m_wave.rate);
    const qsizetype endFrames = qsizetype(EndWindow * m_wave.rate);
    ASSERT_GT(frames(), startFrames + endFrames);
    for (int channel = 0; channel < m_wave.channels; ++channel) {
        SCOPED_TRACE(testing::Message() << "channel " << channel);
        EXPECT_LE(peak(m_wave, channel, 0, 1), EdgeLevel);
        EXPECT_LE(peak(m_wave, channel, frames() - 1, frames()), EdgeLevel);
        EXPECT_LE(peak(m_wave, channel, 0, startFrames), StartLevel);
        EXPECT_LE(peak(m_wave, channel, frames() - endFrames, frames()), EndLevel);
    }
}

INSTANTIATE_TEST_SUITE_P(Cues, CueRecording, ::testing::ValuesIn(Cues),
                         [](const ::testing::TestParamInfo<CueFormat> &info) { return std::string(info.param.name); });

} // namespace
