#pragma once
// Sound files of our own making: 16-bit PCM mono wave files.
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// The whole file: the 44-byte RIFF/WAVE header (format 1, one channel,
// 16 bits, `rate` samples a second) followed by the samples, little-endian.
std::vector<std::uint8_t> MonoPcm16Wave(std::uint32_t rate, std::span<const std::int16_t> samples);

}  // namespace platform
