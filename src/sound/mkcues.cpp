// mkcues: synthesises the nine sound cues and writes them as PCM WAV files.
//
//   mkcues OUTPUT-DIRECTORY
//
// Each cue has a fixed sample format and length. All of them are built in
// C major so that they sit together, peak at -3 dBFS and fade to exact
// silence at both ends. The noise comes from a fixed-seed generator of its
// own, so every run writes the same files.
//
// Runs on the build host; standard library only.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2.0 * std::numbers::pi;

constexpr double PeakLevel = 0.7079; // -3 dBFS
constexpr double EdgeFade = 0.004;   // seconds of fade-in at the start of every file
constexpr double AliasGuard = 0.45;  // partials above this fraction of the rate are left out

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// Equal temperament, A4 = 440 Hz.
constexpr double G3 = 196.00;
constexpr double B3 = 246.94;
constexpr double C4 = 261.63;
constexpr double G4 = 392.00;
constexpr double C5 = 523.25;
constexpr double D5 = 587.33;
constexpr double E5 = 659.26;
constexpr double G5 = 783.99;
constexpr double C6 = 1046.50;
constexpr double E6 = 1318.51;
constexpr double G6 = 1567.98;
constexpr double C7 = 2093.00;
constexpr double E7 = 2637.02;
constexpr double G7 = 3135.96;

using Samples = std::vector<double>;

struct Format {
    int rate;
    int channels;
    int bits;
    double seconds;
};

// A partial of a struck tone: frequency ratio to the note, level, and the
// time constant of its exponential decay in seconds.
struct Partial {
    double ratio;
    double level;
    double decay;
};

struct NoiseState {
    std::uint64_t state;
};

// xorshift64*: fully defined here, unlike the standard distributions, so the
// files do not depend on the library the tool is built with.
double nextNoise(NoiseState &noise)
{
    noise.state ^= noise.state >> 12;
    noise.state ^= noise.state << 25;
    noise.state ^= noise.state >> 27;
    const std::uint64_t value = noise.state * 0x2545F4914F6CDD1DULL;
    return double(value >> 11) / double(1ULL << 52) - 1.0;
}

// RBJ cookbook biquad, direct form I.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

enum class FilterKind { LowPass, HighPass, BandPass };

void tune(Biquad &filter, FilterKind kind, int rate, double frequency, double q)
{
    const double w = TwoPi * frequency / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double cosw = std::cos(w);
    const double a0 = 1.0 + alpha;
    double b0 = 0, b1 = 0, b2 = 0;
    switch (kind) {
    case FilterKind::LowPass:
        b0 = (1.0 - cosw) / 2.0;
        b1 = 1.0 - cosw;
        b2 = b0;
        break;
    case FilterKind::HighPass:
        b0 = (1.0 + cosw) / 2.0;
        b1 = -(1.0 + cosw);
        b2 = b0;
        break;
    case FilterKind::BandPass: // 0 dB at the centre
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    filter.b0 = b0 / a0;
    filter.b1 = b1 / a0;
    filter.b2 = b2 / a0;
    filter.a1 = -2.0 * cosw / a0;
    filter.a2 = (1.0 - alpha) / a0;
}

double step(Biquad &f, double x)
{
    const double y = f.b0 * x + f.b1 * f.x1 + f.b2 * f.x2 - f.a1 * f.y1 - f.a2 * f.y2;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    return y;
}

void filter(Samples &samples, FilterKind kind, int rate, double frequency, double q = std::numbers::sqrt2 / 2.0)
{
    Biquad f;
    tune(f, kind, rate, frequency, q);
    for (double &s : samples)
        s = step(f, s);
}

// Smooth 0 -> 1 over `length` seconds (raised cosine).
double ramp(double t, double length)
{
    if (t <= 0.0)
        return 0.0;
    if (t >= length)
        return 1.0;
    return 0.5 - 0.5 * std::cos(Pi * t / length);
}

std::size_t frameAt(double seconds, int rate)
{
    return std::size_t(std::lround(seconds * rate));
}

// A struck or plucked tone: every partial rings down on its own after a short
// attack, the higher ones usually faster, which is what makes it sound struck.
void addStruck(Samples &out, int rate, double at, double frequency, double level,
               const std::vector<Partial> &partials, double attack)
{
    const std::size_t first = frameAt(at, rate);
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = double(i - first) / rate;
        double value = 0.0;
        for (const Partial &p : partials) {
            const double f = frequency * p.ratio;
            if (f > AliasGuard * rate)
                continue;
            value += p.level * std::exp(-t / p.decay) * std::sin(TwoPi * f * t);
        }
        out[i] += level * ramp(t, attack) * value;
    }
}

// A plucked string: harmonics weighted by the pluck position, the upper ones
// dying sooner, stretched a little as a real string's are.
std::vector<Partial> pluckedString(double decay)
{
    constexpr double PluckPosition = 0.18;
    constexpr double Stiffness = 0.00015;
    std::vector<Partial> partials;
    for (int n = 1; n <= 16; ++n) {
        const double level = std::abs(std::sin(n * Pi * PluckPosition)) / std::pow(n, 1.4);
        partials.push_back({n * std::sqrt(1.0 + Stiffness * n * n), level, decay / (1.0 + 0.45 * (n - 1))});
    }
    return partials;
}

// A short band-limited noise burst: the scrape or knock of a hard attack.
void addNoiseBurst(Samples &out, int rate, double at, double decay, double level,
                   double lowCut, double highCut, NoiseState &noise)
{
    Biquad high;
    Biquad low;
    tune(high, FilterKind::HighPass, rate, lowCut, 0.707);
    tune(low, FilterKind::LowPass, rate, highCut, 0.707);
    const std::size_t first = frameAt(at, rate);
    const std::size_t last = std::min(out.size(), first + frameAt(decay * 12.0, rate));
    for (std::size_t i = first; i < last; ++i) {
        const double t = double(i - first) / rate;
        const double envelope = ramp(t, 0.0003) * std::exp(-t / decay);
        out[i] += level * step(low, step(high, envelope * nextNoise(noise)));
    }
}

// A soft electric-piano note: a sine phase-modulated by a sine of the same
// frequency, the modulation fading faster than the note, so each note starts
// bright and mellows. `hold` seconds after the start the key is let go.
void addKeys(Samples &out, int rate, double at, double frequency, double level, double hold)
{
    constexpr double Release = 0.12;
    constexpr double Decay = 0.55;
    const std::size_t first = frameAt(at, rate);
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = double(i - first) / rate;
        if (t > hold + Release)
            break;
        const double index = 1.4 * std::exp(-t / 0.10) + 0.35;
        const double envelope = ramp(t, 0.006) * std::exp(-t / Decay) * (1.0 - ramp(t - hold, Release));
        const double phase = TwoPi * frequency * t;
        out[i] += level * envelope * std::sin(phase + index * std::sin(phase));
    }
}

// A held, hummed tone with soft harmonics and a slow vibrato; over the last
// half of its hold the pitch may sag by `sag` cents.
void addHum(Samples &out, int rate, double at, double frequency, double level, double hold,
            double release, double sag, double detune)
{
    constexpr double Harmonics[] = {1.0, 0.5, 0.26, 0.13, 0.06, 0.03};
    const std::size_t first = frameAt(at, rate);
    double phase = 0.0;
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = double(i - first) / rate;
        if (t > hold + release)
            break;
        const double vibrato = 10.0 * ramp(t - 0.08, 0.1) * std::sin(TwoPi * 5.2 * t);
        const double bend = sag * ramp(t - hold / 2.0, hold / 2.0);
        const double cents = detune + vibrato + bend;
        phase += TwoPi * frequency * std::pow(2.0, cents / 1200.0) / rate;
        double value = 0.0;
        for (int n = 1; n <= int(std::size(Harmonics)); ++n)
            value += Harmonics[n - 1] * std::sin(n * phase);
        const double envelope = ramp(t, 0.03) * (0.8 + 0.2 * std::exp(-t / 0.15)) * (1.0 - ramp(t - hold, release));
        out[i] += level * envelope * value;
    }
}

// Takes out any DC a tone's start left behind (one-pole high-pass at 20 Hz).
void blockDc(Samples &samples, int rate)
{
    const double r = std::exp(-TwoPi * 20.0 / rate);
    double x1 = 0.0;
    double y1 = 0.0;
    for (double &s : samples) {
        const double y = s - x1 + r * y1;
        x1 = s;
        y1 = y;
        s = y;
    }
}

// Shapes both ends and scales to the common peak. Everything from `tailFrom`
// to the end fades out to exact zero, so an 8-bit file never trails off
// into a faint staircase of quantisation steps.
void finish(std::vector<Samples> &channels, int rate, double tailFrom)
{
    double peak = 0.0;
    for (Samples &samples : channels) {
        blockDc(samples, rate);
        const double tailLength = double(samples.size()) / rate - tailFrom;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = double(i) / rate;
            samples[i] *= ramp(t, EdgeFade) * (1.0 - ramp(t - tailFrom, tailLength));
        }
        samples.back() = 0.0;
        for (double s : samples)
            peak = std::max(peak, std::abs(s));
    }
    if (peak > 0.0) {
        for (Samples &samples : channels) {
            for (double &s : samples)
                s *= PeakLevel / peak;
        }
    }
}

// ---- the cues -------------------------------------------------------------

// The program starting: a slow vibraphone arpeggio up the C major chord that
// keeps ringing, with the instrument's gentle tremolo.
std::vector<Samples> entered(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    const std::vector<Partial> bar = {{1.0, 1.0, 0.50}, {2.0, 0.05, 0.25}, {4.0, 0.22, 0.09}, {10.0, 0.04, 0.03}};
    addStruck(s, rate, 0.00, C5, 0.70, bar, 0.004);
    addStruck(s, rate, 0.10, E5, 0.70, bar, 0.004);
    addStruck(s, rate, 0.20, G5, 0.75, bar, 0.004);
    addStruck(s, rate, 0.30, C6, 0.85, bar, 0.004);
    for (std::size_t i = 0; i < frames; ++i)
        s[i] *= 1.0 - 0.10 * (0.5 - 0.5 * std::cos(TwoPi * 5.0 * double(i) / rate));
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.60);
    return channels;
}

// A new game: three quick harp plucks rising G-D-G, the last with a glint an
// octave up.
std::vector<Samples> turnnew(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    const std::vector<Partial> string = pluckedString(0.45);
    addStruck(s, rate, 0.000, G4, 0.70, string, 0.002);
    addStruck(s, rate, 0.065, D5, 0.75, string, 0.002);
    addStruck(s, rate, 0.130, G5, 0.90, string, 0.002);
    addStruck(s, rate, 0.130, 2.0 * G5, 0.12, {{1.0, 1.0, 0.10}}, 0.002);
    filter(s, FilterKind::LowPass, rate, 7000.0);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.33);
    return channels;
}

// A letter tile taken: the knock of a small wooden tile, its few body modes
// damped within a few hundredths of a second, and softened at the top.
std::vector<Samples> click(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    NoiseState noise{0x7A11C0DEULL};
    const std::vector<Partial> wood = {{1.0, 1.0, 0.016}, {2.31, 0.45, 0.007}, {3.93, 0.25, 0.0045}, {5.8, 0.10, 0.003}};
    addStruck(s, rate, 0.004, 760.0, 1.0, wood, 0.0006);
    addStruck(s, rate, 0.004, 210.0, 0.25, {{1.0, 1.0, 0.012}}, 0.001);
    addNoiseBurst(s, rate, 0.004, 0.0015, 0.5, 800.0, 5000.0, noise);
    filter(s, FilterKind::LowPass, rate, 5500.0);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.16);
    return channels;
}

// A refused action: a hummed "uh-uh", B then G a third lower, the second note
// sagging a little; the two channels are detuned a few cents for warmth.
std::vector<Samples> invalid(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    std::vector<Samples> channels;
    for (const double detune : {-3.0, 3.0}) {
        Samples s(frames);
        addHum(s, rate, 0.01, B3, 0.8, 0.22, 0.07, 0.0, detune);
        addHum(s, rate, 0.33, G3, 0.9, 0.28, 0.16, -50.0, detune);
        filter(s, FilterKind::LowPass, rate, 2200.0);
        channels.push_back(s);
    }
    finish(channels, rate, 0.74);
    return channels;
}

// An accepted word: a quick bright celesta run up C-E-G-C, the top note
// ringing over its octave, and two soft sparkles above.
std::vector<Samples> goodword(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    const std::vector<Partial> celesta = {{1.0, 1.0, 0.30}, {2.0, 0.28, 0.13}, {3.0, 0.10, 0.07}, {4.0, 0.05, 0.04}};
    const std::vector<Partial> sparkle = {{1.0, 1.0, 0.10}, {2.0, 0.2, 0.05}};
    addStruck(s, rate, 0.00, C6, 0.75, celesta, 0.003);
    addStruck(s, rate, 0.06, E6, 0.75, celesta, 0.003);
    addStruck(s, rate, 0.12, G6, 0.80, celesta, 0.003);
    addStruck(s, rate, 0.18, C7, 0.90, celesta, 0.003);
    addStruck(s, rate, 0.18, C6, 0.35, celesta, 0.003);
    addStruck(s, rate, 0.26, E7, 0.20, sparkle, 0.002);
    addStruck(s, rate, 0.31, G7, 0.16, sparkle, 0.002);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.56);
    return channels;
}

// The word cleared: a soft swish, noise through a band that sweeps down from
// bright to mellow as it swells and fades.
std::vector<Samples> clear(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    NoiseState noise{0xC1EA2ULL};
    Biquad band;
    constexpr double Length = 0.20;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double position = std::min(t / Length, 1.0);
        tune(band, FilterKind::BandPass, rate, 5500.0 * std::pow(1400.0 / 5500.0, position), 1.1);
        const double envelope = ramp(t, 0.07) * (1.0 - ramp(t - 0.07, Length - 0.07));
        s[i] = envelope * step(band, nextNoise(noise));
    }
    filter(s, FilterKind::LowPass, rate, 6500.0);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.20);
    return channels;
}

// The board turned a quarter: a soft reedy tone gliding up an octave, its
// level fluttering faster as it rises (the whirr), with a breath of noise
// that follows the pitch.
std::vector<Samples> rotate(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    NoiseState noise{0x20747A7EULL};
    Biquad band;
    constexpr double Length = 0.27;
    double phase = 0.0;
    double flutterPhase = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double glide = ramp(t, Length);
        const double frequency = 240.0 * std::pow(2.0, glide);
        phase += TwoPi * frequency / rate;
        flutterPhase += TwoPi * (22.0 + 18.0 * glide) / rate;
        double tone = 0.0;
        for (int n = 1; n * frequency < 3500.0; ++n)
            tone += std::sin(n * phase) / std::pow(n, 1.9);
        tune(band, FilterKind::BandPass, rate, 4.0 * frequency, 2.0);
        const double breath = step(band, nextNoise(noise));
        const double flutter = 1.0 - 0.55 * (0.5 + 0.5 * std::cos(flutterPhase));
        const double envelope = ramp(t, 0.03) * (1.0 - ramp(t - 0.16, Length - 0.16));
        s[i] = envelope * flutter * (0.8 * tone + 0.5 * breath);
    }
    filter(s, FilterKind::LowPass, rate, 3000.0);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.27);
    return channels;
}

// A clock tick: a small hard woodblock, higher and drier than a tile's knock.
std::vector<Samples> tick(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    NoiseState noise{0x71C4ULL};
    const std::vector<Partial> block = {{1.0, 1.0, 0.009}, {2.62, 0.40, 0.004}, {3.97, 0.18, 0.0025}};
    addStruck(s, rate, 0.004, 1900.0, 1.0, block, 0.0003);
    addNoiseBurst(s, rate, 0.004, 0.0006, 0.6, 2500.0, 9000.0, noise);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.08);
    return channels;
}

// Time is up: electric piano stepping down G-E-D to a long C, with the C an
// octave below joining it to close.
std::vector<Samples> gameover(const Format &format, std::size_t frames)
{
    const int rate = format.rate;
    Samples s(frames);
    // A slight slowing into the last note.
    addKeys(s, rate, 0.00, G5, 0.80, 0.19);
    addKeys(s, rate, 0.16, E5, 0.75, 0.20);
    addKeys(s, rate, 0.33, D5, 0.75, 0.22);
    addKeys(s, rate, 0.52, C5, 0.80, 1.0);
    addKeys(s, rate, 0.52, C4, 0.45, 1.0);
    std::vector<Samples> channels = {s};
    finish(channels, rate, 0.84);
    return channels;
}

// ---- the files ------------------------------------------------------------

using Synth = std::vector<Samples> (*)(const Format &, std::size_t);

struct Cue {
    const char *name;
    Format format;
    Synth synth;
};

const Cue Cues[] = {
    {"entered", {11025, 1, 8, 0.79}, entered},
    {"turnnew", {44100, 1, 8, 0.43}, turnnew},
    {"click", {44100, 1, 16, 0.26}, click},
    {"invalid", {11025, 2, 16, 0.80}, invalid},
    {"goodword", {22050, 1, 8, 0.72}, goodword},
    {"clear", {44100, 1, 16, 0.22}, clear},
    {"rotate", {11025, 1, 16, 0.29}, rotate},
    {"tick", {44100, 1, 16, 0.10}, tick},
    {"gameover", {22050, 1, 8, 1.06}, gameover},
};

void putLittleEndian(std::string &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xFF));
}

// 8-bit PCM is unsigned around 128, 16-bit signed little-endian.
void putSample(std::string &out, double value, int bits)
{
    if (bits == 8) {
        const long q = std::clamp(std::lround(128.0 + value * 127.0), 0L, 255L);
        out.push_back(char(q));
    } else {
        const long q = std::clamp(std::lround(value * 32767.0), -32768L, 32767L);
        putLittleEndian(out, std::uint32_t(q) & 0xFFFF, 2);
    }
}

std::string waveFile(const Format &format, const std::vector<Samples> &channels)
{
    const std::uint32_t blockAlign = std::uint32_t(format.channels * format.bits / 8);
    const std::size_t frames = channels.front().size();
    std::string data;
    for (std::size_t i = 0; i < frames; ++i) {
        for (const Samples &channel : channels)
            putSample(data, channel[i], format.bits);
    }
    const std::uint32_t dataSize = std::uint32_t(data.size());
    if (data.size() % 2 != 0)
        data.push_back('\0'); // chunks are word-aligned; the pad is not counted in the chunk size

    std::string file = "RIFF";
    putLittleEndian(file, std::uint32_t(4 + 8 + 16 + 8 + data.size()), 4);
    file += "WAVEfmt ";
    putLittleEndian(file, 16, 4);
    putLittleEndian(file, 1, 2); // PCM
    putLittleEndian(file, std::uint32_t(format.channels), 2);
    putLittleEndian(file, std::uint32_t(format.rate), 4);
    putLittleEndian(file, std::uint32_t(format.rate) * blockAlign, 4);
    putLittleEndian(file, blockAlign, 2);
    putLittleEndian(file, std::uint32_t(format.bits), 2);
    file += "data";
    putLittleEndian(file, dataSize, 4);
    file += data;
    return file;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: mkcues OUTPUT-DIRECTORY\n";
        return ExitUsage;
    }
    const std::filesystem::path directory = argv[1];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::cerr << "mkcues: cannot create " << directory.string() << ": " << error.message() << '\n';
        return ExitFailed;
    }

    for (const Cue &cue : Cues) {
        const std::size_t frames = frameAt(cue.format.seconds, cue.format.rate);
        const std::string file = waveFile(cue.format, cue.synth(cue.format, frames));
        const std::filesystem::path path = directory / (std::string(cue.name) + ".wav");
        std::ofstream output(path, std::ios::binary | std::ios::trunc);
        output.write(file.data(), std::streamsize(file.size()));
        output.close();
        if (!output) {
            std::cerr << "mkcues: cannot write " << path.string() << '\n';
            return ExitFailed;
        }
    }
    return 0;
}
