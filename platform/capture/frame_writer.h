#pragma once
// The frame file: a 24-bit BMP whose pixels are a frame's bytes exactly as
// the stream delivered them (bottom-up rows, padded to 4 bytes).
//
//   0 "BM" | 2 file size | 6 0 | 10 54 | 14 40 | 18 width | 22 height
//   26 1 (planes) | 28 24 (bits) | 30..53 zero | 54 the frame bytes
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace platform::capture {

constexpr std::size_t kFrameFileHeaderSize = 54;

std::array<std::uint8_t, kFrameFileHeaderSize> FrameFileHeader(int width, int height, std::size_t pixel_bytes);

// Header and pixels in one buffer.
std::vector<std::uint8_t> FrameFileBytes(int width, int height, std::span<const std::uint8_t> dib);

// Writes the frame file over `path` through a temporary file, so that a
// failed write leaves no half file. False with a reason on failure.
bool WriteFrameFile(const std::filesystem::path& path, int width, int height, std::span<const std::uint8_t> dib,
                    std::string* error = nullptr);

}  // namespace platform::capture
