// beat_maker: writes a short looping catwalk beat as a WAV file (16-bit mono,
// 22,050 Hz): a kick on every beat, a clap on beats 2 and 4, closed hi-hats
// on the off-beats and a two-note bass line. The build makes the show's beats
// with it, so the repository holds no sound files.
//
//   beat_maker OUTPUT.wav BPM BARS [ROOT_HZ]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/wave.h"

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// A small deterministic noise source, so that the file is the same on every build.
double Noise(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
}

void AddKick(std::vector<double>& mix, std::size_t at) {
    double phase = 0;
    for (std::size_t i = 0; i < kRate / 4 && at + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double freq = 50 + 90 * std::exp(-t * 30);
        phase += 2 * kPi * freq / kRate;
        mix[at + i] += 0.9 * std::sin(phase) * std::exp(-t * 9);
    }
}

void AddNoiseHit(std::vector<double>& mix, std::size_t at, double length, double decay, double level,
                 std::uint32_t& state, bool bright) {
    double last = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(length * kRate) && at + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double n = Noise(state);
        const double s = bright ? n - last : n;  // a difference brightens the hat
        last = n;
        mix[at + i] += level * s * std::exp(-t * decay);
    }
}

void AddBass(std::vector<double>& mix, std::size_t at, double freq, double length) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(length * kRate) && at + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double env = std::min(1.0, t * 200) * std::exp(-t * 3);
        mix[at + i] += 0.35 * env * (std::sin(2 * kPi * freq * t) + 0.3 * std::sin(4 * kPi * freq * t));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: beat_maker OUTPUT.wav BPM BARS [ROOT_HZ]\n");
        return 2;
    }
    const double bpm = std::atof(argv[2]);
    const int bars = std::atoi(argv[3]);
    const double root = argc > 4 ? std::atof(argv[4]) : 55.0;
    if (!(bpm >= 40 && bpm <= 240) || bars < 1 || bars > 32 || !(root > 20 && root < 400)) {
        std::fprintf(stderr, "beat_maker: BPM 40-240, BARS 1-32, ROOT_HZ 20-400\n");
        return 2;
    }
    const std::size_t beat = static_cast<std::size_t>(kRate * 60.0 / bpm);
    std::vector<double> mix(beat * 4 * static_cast<std::size_t>(bars), 0.0);
    std::uint32_t state = 20100818u;
    for (int b = 0; b < bars * 4; ++b) {
        const std::size_t at = beat * static_cast<std::size_t>(b);
        AddKick(mix, at);
        if (b % 2 == 1) AddNoiseHit(mix, at, 0.18, 22, 0.45, state, false);
        AddNoiseHit(mix, at + beat / 2, 0.05, 80, 0.25, state, true);
        const double note = (b / 4) % 2 == 0 ? root : root * 1.5;
        AddBass(mix, at + beat / 2, note, 60.0 / bpm / 2);
    }
    std::ofstream out(argv[1], std::ios::binary);
    if (!out) {
        std::fprintf(stderr, "beat_maker: cannot write %s\n", argv[1]);
        return 1;
    }
    std::vector<std::int16_t> samples;
    samples.reserve(mix.size());
    for (double s : mix) samples.push_back(static_cast<std::int16_t>(std::lround(std::tanh(s) * 30000.0)));
    const std::vector<std::uint8_t> file = platform::MonoPcm16Wave(kRate, samples);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return out.good() ? 0 : 1;
}
