#include "camera/shutter_wave.h"

#include <cmath>

#include "platform/wave.h"

namespace camera {

std::vector<std::uint8_t> ShutterWaveBytes() {
    constexpr std::uint32_t kRate = 22050;
    constexpr std::uint32_t kDataBytes = std::uint32_t(kShutterWaveBytes) - 44;
    constexpr std::uint32_t kSamples = kDataBytes / 2;
    std::vector<std::int16_t> samples;
    samples.reserve(kSamples);

    std::uint32_t noise = 0x2545F491u;
    const double clicks[2] = {0.0, 0.12};  // seconds
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        const double t = double(i) / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double white = double(noise >> 8) / double(1u << 24) * 2.0 - 1.0;
        double v = 0.0;
        for (double start : clicks) {
            if (t < start) continue;
            const double age = t - start;
            v += white * std::exp(-age * 60.0) * 0.8 + std::sin(2 * M_PI * 1800.0 * age) * std::exp(-age * 90.0) * 0.3;
        }
        v = std::fmax(-1.0, std::fmin(1.0, v));
        samples.push_back(std::int16_t(std::lround(v * 30000.0)));
    }
    return platform::MonoPcm16Wave(kRate, samples);
}

}  // namespace camera
