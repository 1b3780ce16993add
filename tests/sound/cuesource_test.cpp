// What the sound output is fed: the current cue to its end, then silence;
// a new cue replaces the one being read at once.

#include "cuesource.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace {

constexpr int FrameBytes = 2;

// Each cue a distinct ramp of bytes, never 0, so every byte read tells where
// it came from.
CueSource::Sounds rampSounds()
{
    CueSource::Sounds sounds;
    for (const Cue cue : AllCues) {
        const int index = int(cue);
        QByteArray sound;
        for (int i = 0; i < 20 + 2 * index; ++i)
            sound.append(char(16 * (index + 1) + i % 16));
        sounds[size_t(index)] = sound;
    }
    return sounds;
}

QByteArray readBytes(CueSource &source, qsizetype size)
{
    QByteArray out(size, 'x');
    out.truncate(source.read(out.data(), size));
    return out;
}

QByteArray silence(qsizetype size)
{
    return QByteArray(size, '\0');
}

class CueSourceTest : public ::testing::Test
{
protected:
    void SetUp() override { m_source.setSounds(m_sounds, FrameBytes); }

    const CueSource::Sounds m_sounds = rampSounds();
    CueSource m_source;
};

// With no cue started, the output reads silence and keeps running.
TEST_F(CueSourceTest, readsSilenceWhenNoCuePlays)
{
    EXPECT_EQ(readBytes(m_source, 64), silence(64));
    EXPECT_FALSE(m_source.current().has_value());
}

// A cue is read through in pieces of any size, then silence follows, and the
// cue is over.
TEST_F(CueSourceTest, readsACueToItsEndThenSilence)
{
    const QByteArray &tick = m_sounds[size_t(Cue::Tick)];
    m_source.play(Cue::Tick);
    EXPECT_EQ(m_source.current(), Cue::Tick);
    QByteArray heard = readBytes(m_source, 6);
    heard += readBytes(m_source, 10);
    EXPECT_EQ(m_source.current(), Cue::Tick);
    heard += readBytes(m_source, 64);
    EXPECT_EQ(heard, tick + silence(80 - tick.size()));
    EXPECT_FALSE(m_source.current().has_value());
    EXPECT_EQ(readBytes(m_source, 8), silence(8));
}

// A new cue replaces the one being read at the very next read, from its own
// first byte: nothing more of the old one follows, nothing is mixed in.
TEST_F(CueSourceTest, aNewCueCutsOffTheOneBeingRead)
{
    const QByteArray &gameOver = m_sounds[size_t(Cue::GameOver)];
    const QByteArray &click = m_sounds[size_t(Cue::Click)];
    m_source.play(Cue::GameOver);
    EXPECT_EQ(readBytes(m_source, 8), gameOver.left(8));
    m_source.play(Cue::Click);
    EXPECT_EQ(m_source.current(), Cue::Click);
    EXPECT_EQ(readBytes(m_source, 64), click + silence(64 - click.size()));
}

// The same cue asked for again while it is read starts over.
TEST_F(CueSourceTest, theSameCueAgainStartsFromItsBeginning)
{
    const QByteArray &click = m_sounds[size_t(Cue::Click)];
    m_source.play(Cue::Click);
    EXPECT_EQ(readBytes(m_source, 10), click.left(10));
    m_source.play(Cue::Click);
    EXPECT_EQ(readBytes(m_source, 10), click.left(10));
}

// A cue asked for and over is not read again; a cue asked for after the end
// of another starts whole.
TEST_F(CueSourceTest, eachCueIsReadOnce)
{
    const QByteArray &clear = m_sounds[size_t(Cue::Clear)];
    m_source.play(Cue::Clear);
    EXPECT_EQ(readBytes(m_source, 64), clear + silence(64 - clear.size()));
    EXPECT_EQ(readBytes(m_source, 64), silence(64));
    m_source.play(Cue::Clear);
    EXPECT_EQ(readBytes(m_source, 64), clear + silence(64 - clear.size()));
}

// Reads come in whole frames, so the channels never slip.
TEST_F(CueSourceTest, readsWholeFramesOnly)
{
    CueSource stereo;
    stereo.setSounds(m_sounds, 4);
    stereo.play(Cue::Entered);
    EXPECT_EQ(readBytes(stereo, 7).size(), 4);
    EXPECT_EQ(readBytes(stereo, 3).size(), 0);
    EXPECT_EQ(readBytes(stereo, 8), m_sounds[size_t(Cue::Entered)].mid(4, 8));
}

// A cue asked for before the output has its sounds (the start-up cue, asked
// for before the output opens) is read from its beginning once they come.
TEST(CueSource, aCueAskedForBeforeTheSoundsStartsWhenTheyCome)
{
    CueSource source;
    source.play(Cue::Entered);
    EXPECT_EQ(readBytes(source, 8).size(), 0);
    const CueSource::Sounds sounds = rampSounds();
    source.setSounds(sounds, FrameBytes);
    EXPECT_EQ(readBytes(source, 8), sounds[size_t(Cue::Entered)].left(8));
}

} // namespace
