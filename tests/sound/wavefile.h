#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// A WAV file as a player's reader sees it: the format fields, the data chunk
// as stored, and its samples as raw values (0..255 for 8 bits, -32768..32767
// for 16), interleaved.
struct WaveFile {
    qsizetype fileSize = 0;
    quint32 riffSize = 0;
    int formatTag = 0;
    int channels = 0;
    int rate = 0;
    int byteRate = 0;
    int blockAlign = 0;
    int bits = 0;
    quint32 dataSize = 0;
    QByteArray data;
    std::vector<int> samples;

    qsizetype frames() const { return channels > 0 ? qsizetype(samples.size()) / channels : 0; }
    // A sample scaled so that full scale is 1.0, whatever the sample size.
    double level(int sample) const { return bits == 8 ? (sample - 128) / 128.0 : sample / 32768.0; }
    bool atLimit(int sample) const
    {
        return bits == 8 ? (sample == 0 || sample == 255) : (sample == -32768 || sample == 32767);
    }
};

// Walks the chunks as RIFF lays them out (each padded to an even size) and
// fails the current test on anything that would leave a reader out of step.
// Call through ASSERT_NO_FATAL_FAILURE.
void parseWave(const QByteArray &bytes, WaveFile &wave);

// The resource :/sounds/<name>.wav, parsed.
void loadCue(const char *name, WaveFile &wave);
