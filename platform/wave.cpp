#include "platform/wave.h"

namespace platform {

namespace {

void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(b, static_cast<std::uint16_t>(v >> 16));
}

void PutTag(std::vector<std::uint8_t>& b, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

std::vector<std::uint8_t> MonoPcm16Wave(std::uint32_t rate, std::span<const std::int16_t> samples) {
    const auto data = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> b;
    b.reserve(44 + data);
    PutTag(b, "RIFF");
    Put32(b, 36 + data);
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, rate);
    Put32(b, rate * 2);  // bytes a second
    Put16(b, 2);         // bytes a sample
    Put16(b, 16);
    PutTag(b, "data");
    Put32(b, data);
    for (std::int16_t s : samples) Put16(b, static_cast<std::uint16_t>(s));
    return b;
}

}  // namespace platform
