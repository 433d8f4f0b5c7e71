#include "camera/shutter_wave.h"

#include <cmath>

namespace camera {

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

}  // namespace

std::vector<std::uint8_t> ShutterWaveBytes() {
    constexpr std::uint32_t kRate = 22050;
    constexpr std::uint32_t kDataBytes = std::uint32_t(kShutterWaveBytes) - 44;
    constexpr std::uint32_t kSamples = kDataBytes / 2;
    std::vector<std::uint8_t> b;
    b.reserve(kShutterWaveBytes);
    PutTag(b, "RIFF");
    Put32(b, std::uint32_t(kShutterWaveBytes) - 8);
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, kRate);
    Put32(b, kRate * 2);
    Put16(b, 2);
    Put16(b, 16);
    PutTag(b, "data");
    Put32(b, kDataBytes);

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
        Put16(b, std::uint32_t(std::int16_t(std::lround(v * 30000.0))) & 0xFFFF);
    }
    return b;
}

}  // namespace camera
