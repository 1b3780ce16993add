#include "cueonsets.h"

#include "audiocueplayer.h"

#include <QAudioFormat>
#include <QFile>

#include <algorithm>
#include <cmath>

CueOnsets::CueOnsets(int rate)
    : m_rate(rate)
{
    // What the player plays on a mono output at this rate.
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    for (const Cue cue : AllCues) {
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(cueName(cue)));
        QByteArray samples;
        if (file.open(QIODevice::ReadOnly))
            samples = AudioCuePlayer::decode(file.readAll(), format);
        const auto *values = reinterpret_cast<const qint16 *>(samples.constData());
        m_sounds.emplace_back(values, values + samples.size() / qsizetype(sizeof(qint16)));
    }
}

std::vector<double> CueOnsets::scores(const std::vector<qint16> &recording, Cue cue, qsizetype from,
                                     qsizetype to, double opening) const
{
    const std::vector<float> &whole = sound(cue);
    const auto length = qsizetype(std::min(whole.size(), size_t(std::lround(opening * m_rate))));
    const qsizetype first = std::clamp<qsizetype>(from, 0, qsizetype(recording.size()));
    const qsizetype last = std::clamp<qsizetype>(to < 0 ? qsizetype(recording.size()) : to, first,
                                                 qsizetype(recording.size()));
    std::vector<double> out(size_t(last - first), 0.0);
    if (length == 0)
        return out;
    double openingEnergy = 0.0;
    for (qsizetype i = 0; i < length; ++i)
        openingEnergy += double(whole[size_t(i)]) * whole[size_t(i)];

    // The stretch the windows cover, and its energy from running sums.
    const qsizetype end = std::min(qsizetype(recording.size()), last + length);
    const std::vector<float> signal(recording.begin() + first, recording.begin() + end);
    std::vector<double> running(signal.size() + 1, 0.0);
    for (size_t i = 0; i < signal.size(); ++i)
        running[i + 1] = running[i] + double(signal[i]) * signal[i];

    for (qsizetype at = 0; at < last - first && at + length <= qsizetype(signal.size()); ++at) {
        const double energy = running[size_t(at + length)] - running[size_t(at)];
        // Far too quiet or too loud to be this cue at the level it is played.
        if (energy < 0.25 * openingEnergy || energy > 4.0 * openingEnergy)
            continue;
        // Eight partial sums, so the compiler can keep them in one register.
        float partial[8] = {};
        const float *window = signal.data() + at;
        qsizetype i = 0;
        for (; i + 8 <= length; i += 8) {
            for (int k = 0; k < 8; ++k)
                partial[k] += window[i + k] * whole[size_t(i + k)];
        }
        double dot = 0.0;
        for (float p : partial)
            dot += p;
        for (; i < length; ++i)
            dot += double(window[i]) * whole[size_t(i)];
        out[size_t(at)] = dot / std::sqrt(energy * openingEnergy);
    }
    return out;
}

std::vector<CueOnsets::Onset> CueOnsets::find(const std::vector<qint16> &recording, const std::vector<Cue> &kinds,
                                              double spacing) const
{
    std::vector<Onset> candidates;
    for (const Cue cue : kinds) {
        const std::vector<double> score = scores(recording, cue);
        for (size_t at = 0; at < score.size(); ++at) {
            const bool peak = score[at] >= MinimumScore && (at == 0 || score[at] >= score[at - 1])
                && (at + 1 == score.size() || score[at] > score[at + 1]);
            if (peak)
                candidates.push_back({cue, qsizetype(at), score[at]});
        }
    }
    // Best first; each keeps its place unless a better one is too close.
    std::sort(candidates.begin(), candidates.end(), [](const Onset &a, const Onset &b) { return a.score > b.score; });
    const auto gap = qsizetype(spacing * m_rate);
    std::vector<Onset> kept;
    for (const Onset &candidate : candidates) {
        const bool clear = std::none_of(kept.begin(), kept.end(), [&](const Onset &other) {
            return std::abs(other.frame - candidate.frame) < gap;
        });
        if (clear)
            kept.push_back(candidate);
    }
    std::sort(kept.begin(), kept.end(), [](const Onset &a, const Onset &b) { return a.frame < b.frame; });
    return kept;
}

std::optional<CueOnsets::Onset> CueOnsets::findIn(const std::vector<qint16> &recording, Cue cue, qsizetype from,
                                                 qsizetype to, double opening) const
{
    const std::vector<double> score = scores(recording, cue, from, to, opening);
    const qsizetype first = std::max<qsizetype>(0, from);
    std::optional<Onset> best;
    for (size_t at = 0; at < score.size(); ++at) {
        if (score[at] >= MinimumScore && (!best || score[at] > best->score))
            best = Onset{cue, first + qsizetype(at), score[at]};
    }
    return best;
}

std::vector<float> CueOnsets::expected(const std::vector<qint16> &recording, const std::vector<Onset> &onsets,
                                      int &gaps) const
{
    const auto frames = qsizetype(recording.size());
    std::vector<float> out(size_t(frames), 0.0f);
    gaps = 0;
    for (size_t k = 0; k < onsets.size(); ++k) {
        const std::vector<float> &cue = sound(onsets[k].cue);
        const auto length = qsizetype(cue.size());
        const qsizetype end = k + 1 < onsets.size() ? onsets[k + 1].frame : frames;
        qsizetype at = onsets[k].frame;
        for (qsizetype played = 0; at < end && played < length;) {
            if (recording[size_t(at)] == 0) {
                qsizetype run = 0;
                double loudness = 0.0;
                while (at + run < end && recording[size_t(at + run)] == 0) {
                    if (played + run < length)
                        loudness += std::abs(cue[size_t(played + run)]);
                    ++run;
                }
                // Silence where the cue is still clearly heard: the cue resumes after it.
                if (run >= MinGapFrames && loudness / double(run) > 64.0) {
                    at += run;
                    ++gaps;
                    continue;
                }
            }
            out[size_t(at++)] = cue[size_t(played++)];
        }
    }
    return out;
}

CueOnsets::Fit CueOnsets::fit(const std::vector<qint16> &recording, const std::vector<Onset> &onsets) const
{
    Fit result;
    const std::vector<float> model = expected(recording, onsets, result.gaps);
    double total = 0.0;
    double left = 0.0;
    for (size_t at = 0; at < recording.size(); ++at) {
        const double value = recording[at];
        const double difference = value - model[at];
        total += std::max(value * value, double(model[at]) * model[at]);
        left += difference * difference;
    }
    result.unexplained = total > 0.0 ? left / total : 0.0;
    return result;
}

int CueOnsets::peak(const std::vector<qint16> &recording)
{
    int top = 0;
    for (const qint16 sample : recording)
        top = std::max(top, std::abs(int(sample)));
    return top;
}
