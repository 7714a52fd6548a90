// makebgm: writes the game's background music, an original 10-second loop, as
// a 44.1 kHz 16-bit stereo PCM WAV file (written by libsndfile).
//
//   makebgm OUTPUT.wav [SECONDS_PER_BAR]
//
// A small additive synth: a soft bell-like melody, a triangle-ish counter
// voice, a sine bass and a slow pad, over the chords C - Am - F - G, with a
// light echo. The loop is rendered circularly: whatever rings on past the
// loop's end (note tails, the echo) is added to its beginning, so the file is
// one period of a seamless repetition and its end joins its start without a
// click. The optional second argument shortens the bars (tests and the seam
// benchmark use a short loop).

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

double midiToHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

struct Loop {
    std::size_t frames;
    std::vector<double> left, right;

    explicit Loop(std::size_t n) : frames(n), left(n, 0.0), right(n, 0.0) {}

    void add(std::size_t t, double l, double r) {
        const std::size_t i = t % frames;
        left[i] += l;
        right[i] += r;
    }
};

// One note: additive partials under an attack / exponential-decay envelope
// with a short release at its end, all rendered circularly into the loop.
struct Voice {
    std::vector<std::pair<double, double>> partials;  // (multiple, amplitude)
    double attack;                                    // seconds
    double decay;                                     // time constant, seconds
    double sustain;                                   // level the decay falls to
    double release;                                   // seconds
    double gain;
    double pan;  // -1 left .. 1 right
};

void note(Loop& loop, const Voice& v, double startSec, double lengthSec, int midi) {
    const double hz = midiToHz(midi);
    const double total = lengthSec + v.release;
    const auto n = static_cast<std::size_t>(total * kRate);
    const auto start = static_cast<std::size_t>(startSec * kRate);
    const double gl = v.gain * std::sqrt(0.5 * (1.0 - v.pan));
    const double gr = v.gain * std::sqrt(0.5 * (1.0 + v.pan));
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double env;
        if (t < v.attack) {
            env = 0.5 - 0.5 * std::cos(kPi * t / v.attack);
        } else {
            env = v.sustain + (1.0 - v.sustain) * std::exp(-(t - v.attack) / v.decay);
        }
        if (t > lengthSec) {  // raised-cosine release to exactly zero
            const double r = (t - lengthSec) / v.release;
            env *= 0.5 + 0.5 * std::cos(kPi * std::min(r, 1.0));
        }
        double s = 0.0;
        for (const auto& [mult, amp] : v.partials) s += amp * std::sin(2.0 * kPi * hz * mult * t);
        s *= env;
        loop.add(start + i, s * gl, s * gr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: makebgm OUTPUT.wav [SECONDS_PER_BAR]\n");
        return 2;
    }
    // Four bars of 4 beats at 96 beats a minute: 10 seconds.
    const double bar = argc == 3 ? std::atof(argv[2]) : 2.5;
    if (!(bar >= 0.05 && bar <= 10.0)) {
        std::fprintf(stderr, "makebgm: seconds per bar out of range\n");
        return 2;
    }
    const double beat = bar / 4.0;
    const auto frames = static_cast<std::size_t>(std::llround(4.0 * bar * kRate));
    Loop loop(frames);

    const Voice bell{
        {{1.0, 1.0}, {2.0, 0.28}, {3.0, 0.07}, {4.01, 0.05}}, 0.006, 0.45, 0.0, 0.12, 0.22, 0.15};
    const Voice flute{{{1.0, 1.0}, {3.0, 1.0 / 9}, {5.0, 1.0 / 25}, {7.0, 1.0 / 49}},
                      0.06,
                      0.8,
                      0.55,
                      0.18,
                      0.07,
                      -0.35};
    const Voice bass{{{1.0, 1.0}, {2.0, 0.15}}, 0.015, 0.6, 0.45, 0.15, 0.26, 0.0};
    const Voice pad{{{1.0, 1.0}, {2.0, 0.12}, {1.003, 0.6}}, 0.5, 1.2, 0.7, 0.6, 0.035, 0.0};

    // Chords C, Am, F, G: bass root and pad triad.
    const int roots[4] = {36, 45, 41, 43};
    const int triads[4][3] = {{60, 64, 67}, {57, 60, 64}, {57, 60, 65}, {55, 59, 62}};
    for (int b = 0; b < 4; ++b) {
        const double t0 = b * bar;
        note(loop, bass, t0, beat * 1.5, roots[b]);
        note(loop, bass, t0 + beat * 2, beat * 1.5, roots[b] + 7);
        for (int k = 0; k < 3; ++k) {
            Voice p = pad;
            p.pan = (k - 1) * 0.5;
            note(loop, p, t0, bar - 0.25 * beat, triads[b][k]);
        }
    }

    // Melody in eighth notes (0 = rest), C major pentatonic.
    const int melody[4][8] = {{76, 0, 79, 76, 74, 0, 72, 74},
                              {76, 0, 72, 0, 69, 72, 74, 0},
                              {77, 0, 76, 74, 72, 0, 69, 72},
                              {74, 0, 71, 74, 79, 0, 76, 74}};
    for (int b = 0; b < 4; ++b) {
        for (int e = 0; e < 8; ++e) {
            if (melody[b][e] == 0) continue;
            note(loop, bell, b * bar + e * beat / 2, beat * 0.45, melody[b][e]);
        }
    }
    // A counter voice, one long note a bar, an octave below the melody.
    const int counter[4] = {67, 64, 65, 62};
    for (int b = 0; b < 4; ++b) note(loop, flute, b * bar + beat, beat * 2.5, counter[b]);

    // Echo: dotted-eighth delay, ping-pong, computed circularly by summing
    // the delayed copies (feedback 0.35, eight repeats).
    const auto delay = static_cast<std::size_t>(0.75 * beat * kRate) % frames;
    std::vector<double> l = loop.left, r = loop.right;
    double g = 1.0;
    std::size_t d = 0;
    for (int k = 1; k <= 8; ++k) {
        g *= 0.35;
        d = (d + delay) % frames;
        const std::vector<double>& srcL = (k % 2) ? loop.right : loop.left;
        const std::vector<double>& srcR = (k % 2) ? loop.left : loop.right;
        for (std::size_t i = 0; i < frames; ++i) {
            const std::size_t j = (i + frames - d) % frames;
            l[i] += g * 0.8 * srcL[j];
            r[i] += g * 0.8 * srcR[j];
        }
    }

    // Remove any DC, then normalise the peak to -3 dBFS.
    double meanL = 0.0, meanR = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        meanL += l[i];
        meanR += r[i];
    }
    meanL /= frames;
    meanR /= frames;
    double peak = 1e-9;
    for (std::size_t i = 0; i < frames; ++i) {
        l[i] -= meanL;
        r[i] -= meanR;
        peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    }
    const double scale = 0.708 * 32767.0 / peak;

    std::vector<std::int16_t> pcm(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        pcm[2 * i] = static_cast<std::int16_t>(std::lround(l[i] * scale));
        pcm[2 * i + 1] = static_cast<std::int16_t>(std::lround(r[i] * scale));
    }
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(argv[1], SFM_WRITE, &info);
    if (f == nullptr) {
        std::fprintf(stderr, "makebgm: %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const bool ok = sf_writef_short(f, pcm.data(), static_cast<sf_count_t>(frames)) ==
                    static_cast<sf_count_t>(frames);
    if (sf_close(f) != 0 || !ok) {
        std::fprintf(stderr, "makebgm: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
