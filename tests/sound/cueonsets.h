#pragma once

#include "cue.h"

#include <QtGlobal>

#include <optional>
#include <vector>

// Finds where cues start in a recording of what a sound server played, mono
// 16-bit at `rate`. A cue is told by its first few milliseconds: wherever the
// recording matches that opening closely (normalised cross-correlation),
// that cue starts there. Since a new cue replaces the one sounding, the
// recording should then be nothing but those cues, each from its onset to
// the next onset or its own end, with silence elsewhere; fit() measures how
// far it is from that.
class CueOnsets
{
public:
    static constexpr double OpeningSeconds = 0.02;
    static constexpr double MinimumScore = 0.97;

    explicit CueOnsets(int rate);

    // The cue as the server should play it.
    const std::vector<float> &sound(Cue cue) const { return m_sounds[size_t(cue)]; }

    struct Onset {
        Cue cue;
        qsizetype frame;
        double score; // 1 for an exact copy of the cue's opening
    };
    // The onsets of the given kinds of cue, in order. Two onsets closer than
    // `spacing` seconds are one: the better match.
    std::vector<Onset> find(const std::vector<qint16> &recording, const std::vector<Cue> &kinds,
                            double spacing = 0.05) const;
    // The best onset of one kind that starts in frames [from, to), if any,
    // told by its first `opening` seconds (a cue cut off sooner than
    // OpeningSeconds is only that long).
    std::optional<Onset> findIn(const std::vector<qint16> &recording, Cue cue, qsizetype from, qsizetype to,
                                double opening = OpeningSeconds) const;

    // Where the output ran dry for a moment, the server played exact
    // silence and the rest of the cue came that much later. A run of at
    // least this many zero samples where the cue still sounds is such a gap.
    static constexpr int MinGapFrames = 64;

    struct Fit {
        // The share of the recording's energy that the onsets do not account
        // for: 0 when it is exactly those cues, each cut off by the next.
        double unexplained = 0.0;
        int gaps = 0; // taken out of the cues before comparing
    };
    Fit fit(const std::vector<qint16> &recording, const std::vector<Onset> &onsets) const;

    // The loudest sample, 0 to 32768.
    static int peak(const std::vector<qint16> &recording);

private:
    // The match of the cue's opening at every place in [from, to); 0 elsewhere.
    std::vector<double> scores(const std::vector<qint16> &recording, Cue cue, qsizetype from = 0,
                               qsizetype to = -1, double opening = OpeningSeconds) const;
    std::vector<float> expected(const std::vector<qint16> &recording, const std::vector<Onset> &onsets,
                                int &gaps) const;

    int m_rate;
    std::vector<std::vector<float>> m_sounds;
};
